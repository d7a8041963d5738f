// The music's own output drivers for libmikmod. The library's software
// mixer (VC_*) mixes the module into their buffers; they only carry the
// sound to where it is heard and say when they have room for more.
#pragma once

#include <mikmod.h>

#include <cstddef>

// The PulseAudio protocol, which PulseAudio and PipeWire's pipewire-pulse
// both speak. It keeps pulse_buffer_time of music in the server, as a
// player does, and while no server answers it tries again every
// pulse_retry_time.
extern MDRIVER pulse_output;
inline constexpr unsigned pulse_buffer_time = 2000000;  // microseconds
inline constexpr unsigned pulse_retry_time = 1000000;

// ALSA's default playback device, where it opens. A device that blocks
// paces the music; one that does not (a file) leaves it to the music's
// clock.
extern MDRIVER alsa_output;
inline constexpr unsigned alsa_buffer_time = 1000000;  // microseconds

// The most an update mixes: about 93 ms of 16-bit stereo at 44100 Hz,
// whose sample frames take 4 bytes.
inline constexpr size_t output_chunk_bytes = 16384;
inline constexpr size_t output_frame_bytes = 4;

// A driver record on the software mixer around a driver's own steps.
// `present` opens the output, and `start` takes the open output into use.
MDRIVER output_driver(const char* name, const char* alias, BOOL (*present)(), int (*start)(),
                      void (*end)(), void (*update)());

// The mixer set up for 16-bit stereo, the format both drivers take;
// zero on success, as the library's drivers answer.
int output_mixer_start();
