#include "canvas/draw.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <utility>

void canvas_draw_text(Canvas* canvas, int32_t column, int32_t row, const char* text) {
  int64_t x = column;
  int64_t y = row;
  for (; *text != '\0'; ++text) {
    if (*text == '\n') {
      ++y;
      x = column;
    } else {
      canvas_put_char(canvas, x++, y, *text);
    }
  }
}

// Orders the ends of a range along an axis of `length` cells and clamps
// them to it; false when the range misses the axis. This bounds the work
// of runs and rectangles by their visible cells.
static bool range_clamp(int32_t& first, int32_t& last, int32_t length) {
  if (first > last) std::swap(first, last);
  if (first >= length || last < 0) return false;
  first = std::max(first, int32_t{0});
  last = std::min(last, length - 1);
  return true;
}

void canvas_hspan(Canvas* canvas, int32_t first_column, int32_t last_column, int32_t row, char ch) {
  if (row < 0 || row >= canvas->height) return;
  if (!range_clamp(first_column, last_column, canvas->width)) return;
  for (int32_t c = first_column; c <= last_column; ++c) canvas_put_char(canvas, c, row, ch);
}

void canvas_vspan(Canvas* canvas, int32_t first_row, int32_t last_row, int32_t column, char ch) {
  if (column < 0 || column >= canvas->width) return;
  if (!range_clamp(first_row, last_row, canvas->height)) return;
  for (int32_t r = first_row; r <= last_row; ++r) canvas_put_char(canvas, column, r, ch);
}

void canvas_fill_rect(Canvas* canvas, int32_t column0, int32_t row0, int32_t column1, int32_t row1,
                      char ch) {
  if (!range_clamp(column0, column1, canvas->width)) return;
  if (!range_clamp(row0, row1, canvas->height)) return;
  for (int32_t r = row0; r <= row1; ++r) canvas_hspan(canvas, column0, column1, r, ch);
}

namespace {

constexpr int32_t fixed_one = 65536;   // 16.16 fixed point
constexpr int32_t fixed_half = 32768;  // the middle of a cell

// The 16 integer bits of the fixed point hold -32768 to 32767; the walk
// below is exact, and overflows nothing, for coordinates and distances in
// that range. This bounds the arithmetic, not the cells.
bool line_fits_fixed_point(int32_t column0, int32_t row0, int32_t column1, int32_t row1) {
  for (const int64_t value : {column0, row0, column1, row1}) {
    if (value < -32768 || value > 32767) return false;
  }
  return std::abs(int64_t{column1} - column0) <= 32767 && std::abs(int64_t{row1} - row0) <= 32767;
}

// A line wholly beyond one edge shows no cell, so it is not walked.
bool line_misses_canvas(const Canvas* canvas, int32_t column0, int32_t row0, int32_t column1,
                        int32_t row1) {
  const int32_t width = canvas->width;
  const int32_t height = canvas->height;
  return (column0 < 0 && column1 < 0) || (column0 >= width && column1 >= width) ||
         (row0 < 0 && row1 < 0) || (row0 >= height && row1 >= height);
}

bool point_on_canvas(const Canvas* canvas, int32_t column, int32_t row) {
  return column >= 0 && column < canvas->width && row >= 0 && row < canvas->height;
}

// The steps of a line, column and row both in 16.16 fixed point: they start
// in the middle of the start cell, and each step adds the increments and
// draws the cell that the two pick, rounded down. The axis that leads
// moves one whole cell a step, the other the fraction that brings it to
// its end along with the leading one.
struct LineWalk {
  int32_t column;
  int32_t row;
  int32_t column_increment;
  int32_t row_increment;
  int32_t steps;
};

// For a line whose ends differ.
LineWalk line_walk_between(int32_t column0, int32_t row0, int32_t column1, int32_t row1) {
  const int32_t dx = std::abs(column1 - column0);
  const int32_t dy = std::abs(row1 - row0);
  const int32_t column_sign = column1 < column0 ? -1 : 1;
  const int32_t row_sign = row1 < row0 ? -1 : 1;
  LineWalk walk{column0 * fixed_one + fixed_half, row0 * fixed_one + fixed_half,
                column_sign * fixed_one, row_sign * fixed_one, std::max(dx, dy)};
  if (dx >= dy) {
    walk.row_increment = dy * fixed_one / dx * row_sign;
  } else {
    walk.column_increment = dx * fixed_one / dy * column_sign;
  }
  return walk;
}

// A line that crosses an edge: each cell through the cell clip.
void line_walk_clipped(Canvas* canvas, LineWalk walk, int32_t value) {
  for (; walk.steps > 0; --walk.steps) {
    canvas_set_cell(canvas, walk.column >> 16, walk.row >> 16, value);
    walk.column += walk.column_increment;
    walk.row += walk.row_increment;
  }
}

// A line with both ends on the canvas: every cell it steps through lies
// between its ends, so each is stored without a test. The width and the
// cells are read into locals, which the cell stores cannot alias.
void line_walk_on_canvas(Canvas* canvas, LineWalk walk, int32_t value) {
  const int64_t width = canvas->width;
  int32_t* const cells = canvas->cells.get();
  for (; walk.steps > 0; --walk.steps) {
    cells[(walk.row >> 16) * width + (walk.column >> 16)] = value;
    walk.column += walk.column_increment;
    walk.row += walk.row_increment;
  }
}

}  // namespace

// A line beyond the reach of the fixed point draws nothing: the dialogue
// keeps screens within it, and the scenes keep their lines on the canvas.
void canvas_draw_line(Canvas* canvas, int32_t column0, int32_t row0, int32_t column1, int32_t row1,
                      char ch) {
  if (canvas == nullptr || line_misses_canvas(canvas, column0, row0, column1, row1)) return;
  if (!line_fits_fixed_point(column0, row0, column1, row1)) return;
  if (column0 == column1 && row0 == row1) {
    canvas_put_char(canvas, column0, row0, ch);
    return;
  }
  const LineWalk walk = line_walk_between(column0, row0, column1, row1);
  if (point_on_canvas(canvas, column0, row0) && point_on_canvas(canvas, column1, row1)) {
    line_walk_on_canvas(canvas, walk, char_cell(ch));
  } else {
    line_walk_clipped(canvas, walk, char_cell(ch));
  }
}
