#include "canvas/draw.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

// The one clip every operation ends in. Wide coordinates let the callers
// step past the 32-bit range without overflowing.
static bool on_canvas(const Canvas* canvas, int64_t column, int64_t row) {
  return column >= 0 && column < canvas->width && row >= 0 && row < canvas->height;
}

static void store(Canvas* canvas, int64_t column, int64_t row, int32_t value) {
  if (on_canvas(canvas, column, row)) {
    canvas->cells[row * canvas->width + column] = value;
  }
}

static int32_t char_cell(char ch) { return static_cast<signed char>(ch); }

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

// The steps k of a line whose leading coordinate, start + k * step, lies
// within [0, limit): only those can land on the canvas. Skipping the others
// draws the same cells and bounds the work by the canvas size.
struct StepRange {
  int64_t first;
  int64_t last;  // inclusive; first > last when no step is visible
};

StepRange visible_steps(int64_t start, int64_t step, int64_t limit, int64_t count) {
  int64_t first = step > 0 ? -start : start - (limit - 1);
  int64_t last = step > 0 ? limit - 1 - start : start;
  return {std::max(first, int64_t{0}), std::min(last, count - 1)};
}

// Walks a line along its leading axis. The trailing coordinate starts in the
// middle of its cell and grows by a fixed-point increment per step; it is
// computed from the step number rather than summed, which gives the same
// value and lets the walk start at the first visible step.
template <typename Plot>
void walk_line(int64_t lead0, int64_t lead_step, int64_t lead_limit, int64_t count, int64_t trail0,
               int64_t trail_delta, int64_t trail_step, Plot plot) {
  const int64_t increment = trail_delta * fixed_one / count * trail_step;
  const int64_t trail_start = trail0 * fixed_one + fixed_half;
  const StepRange steps = visible_steps(lead0, lead_step, lead_limit, count);
  for (int64_t k = steps.first; k <= steps.last; ++k) {
    plot(lead0 + k * lead_step, (trail_start + k * increment) >> 16);
  }
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
  } else if (dx >= dy) {
    walk_line(column0, column_step, width, dx, row0, dy, row_step,
              [&](int64_t column, int64_t row) { store(canvas, column, row, cell); });
  } else {
    walk_line(row0, row_step, height, dy, column0, dx, column_step,
              [&](int64_t row, int64_t column) { store(canvas, column, row, cell); });
  }
}
