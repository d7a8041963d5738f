// The music's own output driver for libmikmod. The library's software mixer
// (VC_*) mixes the module into it, and the driver carries the sound to the
// first output that answers: a PulseAudio-protocol server (PulseAudio, or
// PipeWire's pipewire-pulse), else ALSA's default device. While none
// answers, at the start or once the one in use has failed, it looks again
// every output_retry_time, and the song waits where it is: nothing is mixed
// for nobody. Only the music thread calls it, through the library.
#pragma once

#include <mikmod.h>

#include <cstddef>
#include <cstdint>

extern MDRIVER music_output;
inline constexpr int64_t output_retry_time = 1000000;  // microseconds

// Whether an output answers, so that what is mixed is heard.
bool output_connected();

// How far the music may be mixed ahead of real time for the output in use,
// in microseconds: what it keeps. The music's clock holds an output that
// takes everything at once (an ALSA device on a file) to that much.
int64_t output_ahead_most();

// The most an update mixes: about 93 ms of the music.
inline constexpr size_t output_chunk_bytes = 16384;

// One way out. Only `open` may wait: for a server that takes the connection
// and never answers, until the client library gives up. The others return
// at once, so the music thread sleeps only where it means to.
struct Output {
  bool (*open)();  // false when it does not answer
  void (*close)();
  int64_t (*room)();                               // bytes it takes now; -1 once it has failed
  bool (*write)(const SBYTE* bytes, size_t size);  // false once it has failed
  int64_t ahead_most;
};

// The PulseAudio protocol: pulse_buffer_time of music kept in the server,
// as a player does. The clock allows a little more, so that the server, not
// the clock, paces what it plays.
extern const Output pulse_output;
inline constexpr int64_t pulse_buffer_time = 2000000;

// ALSA's default playback device, which keeps alsa_buffer_time.
extern const Output alsa_output;
inline constexpr int64_t alsa_buffer_time = 1000000;
