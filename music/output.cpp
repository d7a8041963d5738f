#include "music/output.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>

#include "music/mixer.h"

namespace {

using Clock = std::chrono::steady_clock;

// The outputs in the order they are tried.
constexpr std::array<const Output*, 2> output_ways = {&pulse_output, &alsa_output};

struct OutputState {
  // Null while none answers. Atomic only so that a test may ask from
  // another thread whether the music is heard.
  std::atomic<const Output*> current = nullptr;
  Clock::time_point looked{};  // the last look for one
  SBYTE chunk[output_chunk_bytes];
};

// The library's driver interface passes no record: the one output of the
// process.
OutputState output;

void output_look(OutputState& out) {
  out.looked = Clock::now();
  for (const Output* way : output_ways) {
    if (way->open()) {
      out.current = way;
      return;
    }
  }
}

// The output in use has failed. The next update looks again at once: a
// server that restarts is back within a moment.
void output_lose(OutputState& out) {
  out.current.load()->close();
  out.current = nullptr;
  out.looked = {};
}

// Mixes as much as the output takes now, up to a chunk.
void output_update() {
  if (output.current == nullptr) {
    if (Clock::now() - output.looked < std::chrono::microseconds(output_retry_time)) return;
    output_look(output);
    if (output.current == nullptr) return;
  }
  const Output& way = *output.current.load();
  const int64_t room = way.room();
  if (room < 0) {
    output_lose(output);
    return;
  }
  const size_t size = std::min(static_cast<size_t>(room), output_chunk_bytes) / mixer_frame_bytes *
                      mixer_frame_bytes;
  if (size == 0) return;
  VC_WriteBytes(output.chunk, size);
  if (!way.write(output.chunk, size)) output_lose(output);
}

BOOL output_present() {
  return 1;  // it waits for an output rather than failing without one
}

int output_start() {
  if (VC_Init() != 0) return 1;
  output_look(output);
  return 0;
}

void output_end() {
  VC_Exit();
  if (const Output* way = output.current.exchange(nullptr)) way->close();
  output.looked = {};
}

int output_reset() {
  VC_Exit();
  return VC_Init();
}

void command_line_ignored(const CHAR*) {}
void pause_nothing() {}

}  // namespace

bool output_connected() {
  return output.current != nullptr;
}

int64_t output_ahead_most() {
  const Output* way = output.current;
  return way != nullptr ? way->ahead_most : 0;
}

MDRIVER music_output = {
    .next = nullptr,
    .Name = "intro's output",
    .Version = "PulseAudio protocol, then ALSA",
    .HardVoiceLimit = 0,
    .SoftVoiceLimit = 255,
    .Alias = "intro",
    .CmdLineHelp = nullptr,
    .CommandLine = command_line_ignored,
    .IsPresent = output_present,
    .SampleLoad = VC_SampleLoad,
    .SampleUnload = VC_SampleUnload,
    .FreeSampleSpace = VC_SampleSpace,
    .RealSampleLength = VC_SampleLength,
    .Init = output_start,
    .Exit = output_end,
    .Reset = output_reset,
    .SetNumVoices = VC_SetNumVoices,
    .PlayStart = VC_PlayStart,
    .PlayStop = VC_PlayStop,
    .Update = output_update,
    .Pause = pause_nothing,
    .VoiceSetVolume = VC_VoiceSetVolume,
    .VoiceGetVolume = VC_VoiceGetVolume,
    .VoiceSetFrequency = VC_VoiceSetFrequency,
    .VoiceGetFrequency = VC_VoiceGetFrequency,
    .VoiceSetPanning = VC_VoiceSetPanning,
    .VoiceGetPanning = VC_VoiceGetPanning,
    .VoicePlay = VC_VoicePlay,
    .VoiceStop = VC_VoiceStop,
    .VoiceStopped = VC_VoiceStopped,
    .VoiceGetPosition = VC_VoiceGetPosition,
    .VoiceRealVolume = VC_VoiceRealVolume,
};
