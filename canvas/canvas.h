// The character grid that every frame is drawn into, and its presentation
// as one frame on an output stream.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

struct Canvas {
  int32_t width = 0;
  int32_t height = 0;
  // Row-major: the cell at column c, row r is cells[r * width + c]. A cell
  // holds a character code; presentation prints its low 8 bits.
  std::unique_ptr<int32_t[]> cells;
  int32_t frames = 0;  // frames presented so far
  // The bytes of the presented frame, laid out here so that the whole frame
  // leaves in a single write. Sized with the cells.
  std::unique_ptr<char[]> layout;
};

// The most recently created canvas; fonts, scrollers and trails bind to it.
extern Canvas* current_canvas;

// A new 80 x 25 canvas of blanks, which becomes the current canvas. The
// caller owns it (the intro keeps it for the whole run).
Canvas* canvas_create();

// Replaces the grid with width x height blanks. Sizes below 1 become 1, so a
// canvas always has a cell to present.
void canvas_resize(Canvas* canvas, int32_t width, int32_t height);

void canvas_fill(Canvas* canvas, int32_t value);

// Writes one frame: a line end, then every row without its last column, the
// rows separated by line ends and none after the last. The frame goes to the
// stream whole (stream_write_all), which an unbuffered stream turns into one
// write(2). Counts the frame whether or not the write succeeds. Returns 0,
// or the errno of a write that failed for good: the output is gone.
int canvas_present(Canvas* canvas, FILE* out);

// Size of one presented frame in bytes: width x height.
int64_t canvas_frame_size(const Canvas* canvas);
