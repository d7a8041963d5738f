// The start-up dialogue: banner, screen menu, frame-rate menu.
#pragma once

#include <cstdint>
#include <cstdio>

#include "intro/settings.h"
#include "intro/variant.h"

// The largest screen side: the line drawing's fixed point holds 16 integer
// bits.
inline constexpr int32_t dialogue_max_side = 32767;
// The most cells a screen may have.
inline constexpr int64_t dialogue_max_cells = 16777216;

// The longest answer line, its line end not counted. Input without line
// ends, such as /dev/zero, is thus refused after a bounded read.
inline constexpr int64_t dialogue_max_answer = 65536;

enum class DialogueResult {
  answered,         // width, height, rate and period are set
  input_ended,      // end of input before the last answer
  input_failed,     // a read error
  answer_too_long,  // an answer line longer than dialogue_max_answer
};

// Runs the dialogue on the given streams and fills in the screen size, the
// frame rate and the frame period. Stops at once when input ends or fails,
// or when an answer line is too long.
DialogueResult dialogue_run(const IntroVariant& variant, FILE* in, FILE* out,
                            IntroSettings* settings);
