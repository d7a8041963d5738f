// What the start-up dialogue fixes for the whole run.
#pragma once

#include <cstdint>
#include <cstdio>

struct IntroSettings {
  FILE* input = nullptr;      // every answer is read from here
  FILE* output = nullptr;     // the dialogue and every frame are written here
  int32_t screen_width = 0;   // columns
  int32_t screen_height = 0;  // lines
  int32_t frame_rate = 0;     // frames per second
  int32_t frame_period = 0;   // microseconds per frame: 1000000 / frame_rate
};

// The process-wide settings of the running program.
extern IntroSettings intro_settings;
