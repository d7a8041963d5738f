// Drawing on a canvas. Callers may pass any coordinates: nothing outside
// the grid is written and nothing is reported.
//
// Every cell is written through one test, the cell clip of canvas_set_cell.
// The other range checks of the drawing code bound work, not cells: runs
// and rectangles are clamped to the canvas before their loops, a line
// wholly off one edge is not walked, a line beyond the fixed point's range
// is not drawn, and a line with both ends on the canvas walks without the
// clip, since every cell it steps through lies between its ends.
#pragma once

#include <cstdint>

#include "canvas/canvas.h"

// The cell clip: stores the value unchanged where the cell lies on the
// canvas. The coordinates are wide, so that a sum of 32-bit coordinates (a
// text block's running column, a scroller's base plus its wave) reaches the
// test without overflowing. Defined here so that the effects' per-cell
// calls compile inline.
inline void canvas_set_cell(Canvas* canvas, int64_t column, int64_t row, int32_t value) {
  if (column >= 0 && column < canvas->width && row >= 0 && row < canvas->height) {
    canvas->cells[row * canvas->width + column] = value;
  }
}

// A character is stored as its signed 8-bit value, so bytes 128 to 255
// land as -128 to -1 and print back as the same byte.
inline int32_t char_cell(char ch) {
  return static_cast<signed char>(ch);
}

inline void canvas_put_char(Canvas* canvas, int64_t column, int64_t row, char ch) {
  canvas_set_cell(canvas, column, row, char_cell(ch));
}

// A block of lines: a line end goes down one row and back to the starting
// column. Every other character is drawn, blanks included.
void canvas_draw_text(Canvas* canvas, int32_t column, int32_t row, const char* text);

void canvas_hspan(Canvas* canvas, int32_t first_column, int32_t last_column, int32_t row, char ch);
void canvas_vspan(Canvas* canvas, int32_t first_row, int32_t last_row, int32_t column, char ch);

// Both corners included, in any order.
void canvas_fill_rect(Canvas* canvas, int32_t column0, int32_t row0, int32_t column1, int32_t row1,
                      char ch);

// A line from the first point up to, not including, the second, stepped in
// 16.16 fixed point along its longer axis. A null canvas draws nothing.
void canvas_draw_line(Canvas* canvas, int32_t column0, int32_t row0, int32_t column1, int32_t row1,
                      char ch);
