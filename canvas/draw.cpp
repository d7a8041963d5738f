#include "canvas/draw.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

// The cell clip of single cells, text blocks and runs. Wide coordinates let
// a text block step past the 32-bit range without overflowing. Lines clip
// their steps instead (see visible_walk).
static bool on_canvas(const Canvas* canvas, int64_t column, int64_t row) {
  return column >= 0 && column < canvas->width && row >= 0 && row < canvas->height;
}

static void store(Canvas* canvas, int64_t column, int64_t row, int32_t value) {
  if (on_canvas(canvas, column, row)) {
    canvas->cells[row * canvas->width + column] = value;
  }
}

static int32_t char_cell(char ch) {
  return static_cast<signed char>(ch);
}

void canvas_set_cell(Canvas* canvas, int32_t column, int32_t row, int32_t value) {
  store(canvas, column, row, value);
}

void canvas_put_char(Canvas* canvas, int32_t column, int32_t row, char ch) {
  store(canvas, column, row, char_cell(ch));
}

void canvas_draw_text(Canvas* canvas, int32_t column, int32_t row, const char* text) {
  int64_t x = column;
  int64_t y = row;
  for (; *text != '\0'; ++text) {
    if (*text == '\n') {
      ++y;
      x = column;
    } else {
      store(canvas, x++, y, char_cell(*text));
    }
  }
}

void canvas_hspan(Canvas* canvas, int32_t first_column, int32_t last_column, int32_t row, char ch) {
  if (first_column > last_column) std::swap(first_column, last_column);
  if (row < 0 || row >= canvas->height || first_column >= canvas->width || last_column < 0) return;
  first_column = std::max(first_column, int32_t{0});
  last_column = std::min(last_column, canvas->width - 1);
  std::fill(&canvas->cells[int64_t{row} * canvas->width + first_column],
            &canvas->cells[int64_t{row} * canvas->width + last_column] + 1, char_cell(ch));
}

void canvas_vspan(Canvas* canvas, int32_t first_row, int32_t last_row, int32_t column, char ch) {
  if (first_row > last_row) std::swap(first_row, last_row);
  if (column < 0 || column >= canvas->width || first_row >= canvas->height || last_row < 0) return;
  first_row = std::max(first_row, int32_t{0});
  last_row = std::min(last_row, canvas->height - 1);
  for (int32_t r = first_row; r <= last_row; ++r) store(canvas, column, r, char_cell(ch));
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

constexpr int64_t fixed_one = 65536;   // 16.16 fixed point
constexpr int64_t fixed_half = 32768;  // the middle of a cell

// The steps k, first to last inclusive, of a line that can land on the
// canvas; first > last when none can.
struct StepRange {
  int64_t first;
  int64_t last;
};

// Quotients rounded towards minus and plus infinity; the divisor is not 0.
int64_t floor_div(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
int64_t ceil_div(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && (a < 0) == (b < 0)) ? q + 1 : q;
}

// The steps k of 0 to count - 1 at which value0 + k * per_step lies within
// [low, high].
StepRange steps_within(int64_t value0, int64_t per_step, int64_t low, int64_t high, int64_t count) {
  StepRange range{0, count - 1};
  if (per_step == 0) {
    if (value0 < low || value0 > high) range.last = -1;
  } else if (per_step > 0) {
    range.first = std::max(range.first, ceil_div(low - value0, per_step));
    range.last = std::min(range.last, floor_div(high - value0, per_step));
  } else {
    range.first = std::max(range.first, ceil_div(high - value0, per_step));
    range.last = std::min(range.last, floor_div(low - value0, per_step));
  }
  return range;
}

// The part of a line's walk along its leading axis that lands on the
// canvas: the steps first to first + count - 1. The trailing coordinate
// starts in the middle of its cell and grows by a fixed-point increment per
// step; `trail` is its value at the first step, computed from the step
// number rather than summed, which gives the same value and lets the walk
// start at the first visible step. Only the steps at which both
// coordinates lie on the canvas are walked, so the cells of the whole line
// are drawn while the work is bounded by the canvas size, and the cells need
// no test of their own. A line whose two ends lie on the canvas stays on it
// all along (the increment never carries the trailing coordinate past the
// end's), so it needs no clipping at all.
struct Walk {
  int64_t first;
  int64_t count;
  int64_t trail;
  int64_t increment;
};

Walk visible_walk(int64_t lead0, int64_t lead_step, int64_t lead_limit, int64_t length,
                  int64_t trail0, int64_t trail_delta, int64_t trail_step, int64_t trail_limit,
                  bool ends_on_canvas) {
  const int64_t increment = trail_delta * fixed_one / length * trail_step;
  const int64_t trail_start = trail0 * fixed_one + fixed_half;
  StepRange steps{0, length - 1};
  if (!ends_on_canvas) {
    const StepRange lead = steps_within(lead0, lead_step, 0, lead_limit - 1, length);
    // The trailing cell is the fixed-point value rounded down.
    const StepRange trail =
        steps_within(trail_start, increment, 0, trail_limit * fixed_one - 1, length);
    steps = {std::max(lead.first, trail.first), std::min(lead.last, trail.last)};
  }
  return {steps.first, std::max(steps.last - steps.first + 1, int64_t{0}),
          trail_start + steps.first * increment, increment};
}

// The walk of a line whose columns lead, from `start`, the first visible
// step's column in row 0; the running row, rounded down, picks the row. Four
// steps at a time: with the column step fixed, the four cells' columns are
// fixed offsets from the first.
template <int64_t column_step>
void walk_columns(int32_t* start, int64_t width, const Walk& walk, int32_t cell) {
  const int64_t increment = walk.increment;
  int64_t at = 0;
  int64_t row = walk.trail;
  int64_t n = walk.count;
  for (; n >= 4; n -= 4, at += 4 * column_step, row += 4 * increment) {
    start[at + (row >> 16) * width] = cell;
    start[at + column_step + ((row + increment) >> 16) * width] = cell;
    start[at + 2 * column_step + ((row + 2 * increment) >> 16) * width] = cell;
    start[at + 3 * column_step + ((row + 3 * increment) >> 16) * width] = cell;
  }
  for (; n > 0; --n, at += column_step, row += increment) start[at + (row >> 16) * width] = cell;
}

}  // namespace

void canvas_draw_line(Canvas* canvas, int32_t column0, int32_t row0, int32_t column1, int32_t row1,
                      char ch) {
  if (canvas == nullptr) return;
  const int32_t width = canvas->width;
  const int32_t height = canvas->height;
  if ((column0 < 0 && column1 < 0) || (column0 >= width && column1 >= width) ||
      (row0 < 0 && row1 < 0) || (row0 >= height && row1 >= height)) {
    return;
  }
  const int32_t cell = char_cell(ch);
  const int64_t dx = std::abs(int64_t{column1} - column0);
  const int64_t dy = std::abs(int64_t{row1} - row0);
  const int64_t column_step = column1 < column0 ? -1 : 1;
  const int64_t row_step = row1 < row0 ? -1 : 1;
  if (dx == 0 && dy == 0) {
    store(canvas, column0, row0, cell);
    return;
  }
  int32_t* cells = canvas->cells.get();
  const bool ends_on_canvas = on_canvas(canvas, column0, row0) && on_canvas(canvas, column1, row1);
  if (dx >= dy) {
    // Columns lead: the index walks along row 0 and the running row, rounded
    // down, picks the row.
    const Walk walk =
        visible_walk(column0, column_step, width, dx, row0, dy, row_step, height, ends_on_canvas);
    int32_t* start = cells + column0 + walk.first * column_step;
    if (column_step > 0) {
      walk_columns<1>(start, width, walk, cell);
    } else {
      walk_columns<-1>(start, width, walk, cell);
    }
  } else {
    // Rows lead: the index walks down or up the column-0 cells of the rows
    // and the running column picks the cell.
    const Walk walk =
        visible_walk(row0, row_step, height, dy, column0, dx, column_step, width, ends_on_canvas);
    const int64_t stride = row_step * width;
    int64_t at = (row0 + walk.first * row_step) * width;
    int64_t column = walk.trail;
    for (int64_t n = walk.count; n > 0; --n, at += stride, column += walk.increment) {
      cells[at + (column >> 16)] = cell;
    }
  }
}
