// Music through a PulseAudio-protocol server, on a main loop that runs only
// inside the driver's calls: no thread of the client library's own. The
// connection never starts a server, and a server that goes away is looked
// for again every pulse_retry_time until it is back, when the song plays on
// from where it was.
#include <pulse/context.h>
#include <pulse/mainloop.h>
#include <pulse/stream.h>

#include <algorithm>
#include <chrono>

#include "music/output.h"

namespace {

using Clock = std::chrono::steady_clock;

struct PulseOutput {
  pa_mainloop* loop = nullptr;  // all three null while not connected
  pa_context* context = nullptr;
  pa_stream* stream = nullptr;
  Clock::time_point last_attempt{};
  SBYTE chunk[output_chunk_bytes];
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
  out.last_attempt = Clock::now();
  out.loop = pa_mainloop_new();
  if (out.loop == nullptr) return false;
  out.context = pa_context_new(pa_mainloop_get_api(out.loop), "intro");
  if (out.context == nullptr ||
      pa_context_connect(out.context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
      !pulse_context_ready(out)) {
    pulse_disconnect(out);
    return false;
  }
  const pa_sample_spec format = {PA_SAMPLE_S16NE, md_mixfreq, 2};
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

// Mixes as much as the server has room for, up to a chunk; nothing while
// no server answers, and then the song waits where it is.
void pulse_update() {
  if (pulse.stream == nullptr) {
    const auto since = Clock::now() - pulse.last_attempt;
    if (since < std::chrono::microseconds(pulse_retry_time) || !pulse_connect(pulse)) return;
  }
  if (!pulse_alive(pulse)) return;
  const size_t room = pa_stream_writable_size(pulse.stream);
  if (room == static_cast<size_t>(-1)) {
    pulse_disconnect(pulse);
    return;
  }
  const size_t size = std::min(room, output_chunk_bytes) / output_frame_bytes * output_frame_bytes;
  if (size == 0) return;
  VC_WriteBytes(pulse.chunk, size);
  if (pa_stream_write(pulse.stream, pulse.chunk, size, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
    pulse_disconnect(pulse);
  }
}

BOOL pulse_present() {
  return pulse.stream != nullptr || pulse_connect(pulse);
}

int pulse_start() {
  if (pulse.stream == nullptr && !pulse_connect(pulse)) {
    MikMod_errno = MMERR_OPENING_AUDIO;
    return 1;
  }
  return output_mixer_start();
}

void pulse_end() {
  VC_Exit();
  pulse_disconnect(pulse);
}

}  // namespace

MDRIVER pulse_output = output_driver("PulseAudio protocol", "pulse", pulse_present, pulse_start,
                                     pulse_end, pulse_update);
