// A line of text across the whole canvas width, one character per column,
// bent sideways and up and down by two waves. Text and waves are three
// cyclic sequences that scroll left at their own rates.
#pragma once

#include <cstdint>
#include <memory>

#include "canvas/canvas.h"
#include "effects/sequence.h"

struct WaveScroller {
  int32_t x = 0;      // base column of the run's first character
  int32_t y = 0;      // base row
  int32_t width = 0;  // the canvas's size at creation
  int32_t height = 0;
  Canvas* canvas = nullptr;  // drawn on, and paces the scroll; not owned
  // Owned. Callers may hand over sequences of their own with reset().
  std::unique_ptr<CyclicSequence> text;    // characters
  std::unique_ptr<CyclicSequence> x_wave;  // column offsets
  std::unique_ptr<CyclicSequence> y_wave;  // row offsets
};

// A scroller on the current canvas with the default text and waves.
WaveScroller* scroller_create();
void scroller_release(WaveScroller* scroller);

// Draws one character per canvas column; leaves every sequence where it was.
void scroller_draw(const WaveScroller* scroller);

// Moves the text and the y-wave on every third frame and the x-wave every
// second, by the canvas's frame count.
void scroller_advance(WaveScroller* scroller);

// The defaults every new scroller starts with.
extern const char scroller_default_text[];
extern const int32_t scroller_default_x_wave[42];
extern const int32_t scroller_default_y_wave[118];
