// How the music is mixed, said once for intro, its tests and the tools that
// measure what it plays: libmikmod's software mixer, interpolating and in
// high quality, into 16-bit stereo at 44100 sample frames a second.
#pragma once

#include <mikmod.h>

#include <cstddef>
#include <cstdint>

inline constexpr UWORD mixer_mode =
    DMODE_SOFT_MUSIC | DMODE_INTERP | DMODE_HQMIXER | DMODE_16BITS | DMODE_STEREO;
inline constexpr UWORD mixer_rate = 44100;
inline constexpr uint8_t mixer_channels = 2;
inline constexpr size_t mixer_frame_bytes = 2 * mixer_channels;

// Sets the mixer up as above, the library's other defaults kept; the
// library takes it at MikMod_Init.
inline void mixer_settings_apply() {
  md_mode = static_cast<UWORD>((md_mode & ~DMODE_FLOAT) | mixer_mode);
  md_mixfreq = mixer_rate;
}
