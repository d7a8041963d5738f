// Music through a PulseAudio-protocol server, on a main loop that runs only
// inside the output's calls: no thread of the client library's own. The
// connection never starts a server.
#include <pulse/context.h>
#include <pulse/mainloop.h>
#include <pulse/stream.h>

#include "music/mixer.h"
#include "music/output.h"

namespace {

struct PulseOutput {
  pa_mainloop* loop = nullptr;  // all three null while not connected
  pa_context* context = nullptr;
  pa_stream* stream = nullptr;
};

// The most messages of the server taken in before an update mixes: far
// more than a server sends in the longest wait between updates.
constexpr int pulse_turns_most = 256;

// The library's driver interface passes no record: the one output of the
// process.
PulseOutput pulse;

void pulse_disconnect(PulseOutput& out) {
  if (out.stream != nullptr) {
    pa_stream_disconnect(out.stream);
    pa_stream_unref(out.stream);
  }
  if (out.context != nullptr) {
    pa_context_disconnect(out.context);
    pa_context_unref(out.context);
  }
  if (out.loop != nullptr) pa_mainloop_free(out.loop);
  out.stream = nullptr;
  out.context = nullptr;
  out.loop = nullptr;
}

// Runs the loop until the context is ready (true) or has failed. A server
// that does not answer fails it after the client library's own timeout.
bool pulse_context_ready(PulseOutput& out) {
  for (;;) {
    const pa_context_state_t state = pa_context_get_state(out.context);
    if (state == PA_CONTEXT_READY) return true;
    if (!PA_CONTEXT_IS_GOOD(state) || pa_mainloop_iterate(out.loop, 1, nullptr) < 0) return false;
  }
}

bool pulse_stream_ready(PulseOutput& out) {
  for (;;) {
    const pa_stream_state_t state = pa_stream_get_state(out.stream);
    if (state == PA_STREAM_READY) return true;
    if (!PA_STREAM_IS_GOOD(state) || pa_mainloop_iterate(out.loop, 1, nullptr) < 0) return false;
  }
}

// Connects to the server the client library finds (PULSE_SERVER, the
// user's own) and opens a playback stream that keeps pulse_buffer_time of
// music in the server.
bool pulse_connect(PulseOutput& out) {
  out.loop = pa_mainloop_new();
  if (out.loop == nullptr) return false;
  out.context = pa_context_new(pa_mainloop_get_api(out.loop), "intro");
  if (out.context == nullptr ||
      pa_context_connect(out.context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
      !pulse_context_ready(out)) {
    pulse_disconnect(out);
    return false;
  }
  const pa_sample_spec format = {PA_SAMPLE_S16NE, mixer_rate, mixer_channels};
  const pa_buffer_attr buffer = {
      .maxlength = static_cast<uint32_t>(-1),
      .tlength = static_cast<uint32_t>(pa_usec_to_bytes(pulse_buffer_time, &format)),
      .prebuf = static_cast<uint32_t>(-1),
      .minreq = static_cast<uint32_t>(output_chunk_bytes),
      .fragsize = static_cast<uint32_t>(-1),
  };
  out.stream = pa_stream_new(out.context, "music", &format, nullptr);
  if (out.stream == nullptr ||
      pa_stream_connect_playback(out.stream, nullptr, &buffer, PA_STREAM_NOFLAGS, nullptr,
                                 nullptr) < 0 ||
      !pulse_stream_ready(out)) {
    pulse_disconnect(out);
    return false;
  }
  return true;
}

// Whether the stream still plays, once the loop has taken in all the
// server sent (one message a turn: its requests for more music among them):
// a server that went away ends the connection here.
bool pulse_alive(PulseOutput& out) {
  for (int turn = 0; turn < pulse_turns_most; ++turn) {
    if (pa_mainloop_iterate(out.loop, 0, nullptr) <= 0) break;
  }
  if (pa_stream_get_state(out.stream) == PA_STREAM_READY) return true;
  pulse_disconnect(out);
  return false;
}

// What the server has room for now, once the loop has taken in all it
// sent; -1 once the connection has ended.
int64_t pulse_room() {
  if (!pulse_alive(pulse)) return -1;
  const size_t room = pa_stream_writable_size(pulse.stream);
  return room == static_cast<size_t>(-1) ? -1 : static_cast<int64_t>(room);
}

bool pulse_write(const SBYTE* bytes, size_t size) {
  return pa_stream_write(pulse.stream, bytes, size, nullptr, 0, PA_SEEK_RELATIVE) == 0;
}

bool pulse_open() {
  return pulse_connect(pulse);
}

void pulse_close() {
  pulse_disconnect(pulse);
}

}  // namespace

const Output pulse_output = {
    .open = pulse_open,
    .close = pulse_close,
    .room = pulse_room,
    .write = pulse_write,
    .ahead_most = pulse_buffer_time + 500000,
};
