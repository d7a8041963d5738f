// The points where intro and intro-silent differ; everything else they
// share.
#pragma once

#include <cstdint>

struct IntroVariant {
  const char* banner_colour;  // colour-on sequence of the title banner
  const char* end_hint;       // printed after the banner
  const char* logo;           // the art of the five orbiting copies
  void (*start_music)();      // before the dialogue; null without music
  void (*frames_begin)();     // just before the first frame; null without music
  // The frame pause, between the present and the advance steps.
  void (*pause)(int32_t frame_period);
};

// The pause of intro-silent. A period of 0 does not sleep at all: even a
// zero sleep is a trip through the scheduler.
void frame_sleep(int32_t frame_period);

// intro-silent's variant, in intro_core.
extern const IntroVariant silent_variant;

// intro's variant, in intro_music, which links the music.
extern const IntroVariant music_variant;
