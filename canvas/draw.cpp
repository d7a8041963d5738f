#include "canvas/draw.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <utility>

// The one cell clip that every drawing operation writes through. Wide
// coordinates let a text block step past the 32-bit range without
// overflowing.
static void cell_store(Canvas* canvas, int64_t column, int64_t row, int32_t value) {
  if (column >= 0 && column < canvas->width && row >= 0 && row < canvas->height) {
    canvas->cells[row * canvas->width + column] = value;
  }
}

static int32_t char_cell(char ch) {
  return static_cast<signed char>(ch);
}

void canvas_set_cell(Canvas* canvas, int32_t column, int32_t row, int32_t value) {
  cell_store(canvas, column, row, value);
}

void canvas_put_char(Canvas* canvas, int32_t column, int32_t row, char ch) {
  cell_store(canvas, column, row, char_cell(ch));
}

void canvas_draw_text(Canvas* canvas, int32_t column, int32_t row, const char* text) {
  int64_t x = column;
  int64_t y = row;
  for (; *text != '\0'; ++text) {
    if (*text == '\n') {
      ++y;
      x = column;
    } else {
      cell_store(canvas, x++, y, char_cell(*text));
    }
  }
}

// Orders the ends of a run along an axis of `length` cells and clamps them
// to it, so that the work of a run is bounded by the canvas whatever its
// ends; false when the run misses the canvas, being at `across` on an axis
// of `breadth` cells.
static bool run_clamp(int32_t& first, int32_t& last, int32_t length, int32_t across,
                      int32_t breadth) {
  if (first > last) std::swap(first, last);
  if (across < 0 || across >= breadth || first >= length || last < 0) return false;
  first = std::max(first, int32_t{0});
  last = std::min(last, length - 1);
  return true;
}

void canvas_hspan(Canvas* canvas, int32_t first_column, int32_t last_column, int32_t row, char ch) {
  if (!run_clamp(first_column, last_column, canvas->width, row, canvas->height)) return;
  for (int32_t c = first_column; c <= last_column; ++c) canvas_put_char(canvas, c, row, ch);
}

void canvas_vspan(Canvas* canvas, int32_t first_row, int32_t last_row, int32_t column, char ch) {
  if (!run_clamp(first_row, last_row, canvas->height, column, canvas->width)) return;
  for (int32_t r = first_row; r <= last_row; ++r) canvas_put_char(canvas, column, r, ch);
}

void canvas_fill_rect(Canvas* canvas, int32_t column0, int32_t row0, int32_t column1, int32_t row1,
                      char ch) {
  if (column0 > column1) std::swap(column0, column1);
  if (row0 > row1) std::swap(row0, row1);
  if (column1 < 0 || column0 >= canvas->width || row1 < 0 || row0 >= canvas->height) return;
  row0 = std::max(row0, int32_t{0});
  row1 = std::min(row1, canvas->height - 1);
  for (int32_t r = row0; r <= row1; ++r) canvas_hspan(canvas, column0, column1, r, ch);
}

namespace {

constexpr int32_t fixed_one = 65536;   // 16.16 fixed point
constexpr int32_t fixed_half = 32768;  // the middle of a cell

// The 16 integer bits of the fixed point hold -32768 to 32767; the walk
// below is exact, and overflows nothing, for coordinates and distances in
// that range.
bool line_fits_fixed_point(int32_t column0, int32_t row0, int32_t column1, int32_t row1) {
  for (const int64_t value : {column0, row0, column1, row1}) {
    if (value < -32768 || value > 32767) return false;
  }
  return std::abs(int64_t{column1} - column0) <= 32767 && std::abs(int64_t{row1} - row0) <= 32767;
}

bool line_misses_canvas(const Canvas* canvas, int32_t column0, int32_t row0, int32_t column1,
                        int32_t row1) {
  const int32_t width = canvas->width;
  const int32_t height = canvas->height;
  return (column0 < 0 && column1 < 0) || (column0 >= width && column1 >= width) ||
         (row0 < 0 && row1 < 0) || (row0 >= height && row1 >= height);
}

// One cell per step of the leading axis, from lead0 up to, not including,
// lead1. The trailing coordinate starts in the middle of its cell trail0
// and grows by a fixed increment per step; rounded down, it picks the cell.
void line_walk(Canvas* canvas, bool columns_lead, int32_t lead0, int32_t lead1, int32_t trail0,
               int32_t increment, char ch) {
  const int32_t lead_step = lead1 < lead0 ? -1 : 1;
  int32_t trail = trail0 * fixed_one + fixed_half;
  for (int32_t lead = lead0; lead != lead1; lead += lead_step, trail += increment) {
    if (columns_lead) {
      canvas_put_char(canvas, lead, trail >> 16, ch);
    } else {
      canvas_put_char(canvas, trail >> 16, lead, ch);
    }
  }
}

}  // namespace

// A line beyond the reach of the fixed point draws nothing: the dialogue
// keeps screens within it, and the scenes keep their lines on the canvas.
void canvas_draw_line(Canvas* canvas, int32_t column0, int32_t row0, int32_t column1, int32_t row1,
                      char ch) {
  if (canvas == nullptr || line_misses_canvas(canvas, column0, row0, column1, row1)) return;
  if (!line_fits_fixed_point(column0, row0, column1, row1)) return;
  const int32_t dx = std::abs(column1 - column0);
  const int32_t dy = std::abs(row1 - row0);
  if (dx == 0 && dy == 0) {
    canvas_put_char(canvas, column0, row0, ch);
  } else if (dx >= dy) {
    const int32_t increment = dy * fixed_one / dx * (row1 < row0 ? -1 : 1);
    line_walk(canvas, true, column0, column1, row0, increment, ch);
  } else {
    const int32_t increment = dx * fixed_one / dy * (column1 < column0 ? -1 : 1);
    line_walk(canvas, false, row0, row1, column0, increment, ch);
  }
}
