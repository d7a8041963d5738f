// Drawing on a canvas. Every operation clips cell by cell at the canvas
// edges, so callers may pass any coordinates; nothing outside the grid is
// written and nothing is reported.
#pragma once

#include <cstdint>

#include "canvas/canvas.h"

// Stores the value unchanged.
void canvas_set_cell(Canvas* canvas, int32_t column, int32_t row, int32_t value);

// Stores the character as its signed 8-bit value, so bytes 128 to 255 land
// as -128 to -1 and print back as the same byte.
void canvas_put_char(Canvas* canvas, int32_t column, int32_t row, char ch);

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
