#include "effects/scroller.h"

#include "canvas/draw.h"
#include "canvas/text_file.h"

const char scroller_default_text[] = "A waved scroll's default text. ";

// One period of a wave of amplitude 7; the second half mirrors the first.
const int32_t scroller_default_x_wave[42] = {
    0, 1,  2,  3,  4,  4,  5,  6,  6,  7,  7,  7,  7,  6,  6,  5,  4,  4,  3,  2,  1,
    0, -1, -2, -3, -4, -4, -5, -6, -6, -7, -7, -7, -7, -6, -6, -5, -4, -4, -3, -2, -1,
};

// Three waves in a row: entries 0-37 of amplitude 4, then 38-67 and 68-117
// of amplitude 3; each wave's second half is its first half negated.
const int32_t scroller_default_y_wave[118] = {
    0,  1,  2,  2,  3,  3,  3,  4,  4,  4,  4,  4,  4,  3,  3,  3,  2,  2,  1,  0,  -1, -2, -2, -3,
    -3, -3, -4, -4, -4, -4, -4, -4, -3, -3, -3, -2, -2, -1, 0,  1,  1,  2,  2,  3,  3,  3,  3,  3,
    3,  2,  2,  1,  1,  0,  -1, -1, -2, -2, -3, -3, -3, -3, -3, -3, -2, -2, -1, -1, 0,  1,  1,  2,
    2,  2,  2,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  2,  2,  2,  2,  1,  1,  0,  -1, -1,
    -2, -2, -2, -2, -3, -3, -3, -3, -3, -3, -3, -3, -3, -3, -3, -3, -2, -2, -2, -2, -1, -1,
};

WaveScroller* scroller_create() {
  auto* scroller = new WaveScroller{};
  scroller->canvas = current_canvas;
  scroller->width = current_canvas->width;
  scroller->height = current_canvas->height;
  scroller->text = sequence_over(scroller_default_text, 1, text_length(scroller_default_text));
  scroller->x_wave = sequence_over(scroller_default_x_wave, 4, 42);
  scroller->y_wave = sequence_over(scroller_default_y_wave, 4, 118);
  return scroller;
}

void scroller_release(WaveScroller* scroller) {
  delete scroller;
}

namespace {

// A walk over a sequence's table for one draw, in bytes, that leaves the
// sequence where it is. The step is brought into 0 to count - 1 once, so
// each step is one addition and at most one subtraction, and lands where
// sequence_step would.
struct Cursor {
  explicit Cursor(const CyclicSequence& sequence)
      : table(sequence.table),
        at(int64_t{sequence.position} * sequence.element_size),
        size(int64_t{sequence.count} * sequence.element_size) {
    int64_t steps = sequence.step % sequence.count;
    if (steps < 0) steps += sequence.count;
    step = steps * sequence.element_size;
  }

  void next() {
    at += step;
    if (at >= size) at -= size;
  }
  char as_char() const {
    return static_cast<char>(table[at]);
  }
  int32_t as_int() const {
    return *reinterpret_cast<const int32_t*>(table + at);
  }

  const unsigned char* table;
  int64_t at;
  int64_t size;
  int64_t step = 0;
};

}  // namespace

// Reads the sequences and the canvas's size into locals first: the stores
// into the cells could otherwise alias them, and every character would
// read them again.
void scroller_draw(WaveScroller* scroller) {
  Cursor text(*scroller->text);
  Cursor x_wave(*scroller->x_wave);
  Cursor y_wave(*scroller->y_wave);
  const int32_t width = scroller->canvas->width;
  const int32_t height = scroller->canvas->height;
  int32_t* cells = scroller->canvas->cells.get();
  const int64_t x = scroller->x;
  const int64_t y = scroller->y;
  for (int32_t i = 0; i < width; ++i) {
    // Summed wide: a base and an offset near the ends of the 32-bit range
    // put the character off the canvas, not back onto it.
    const int64_t column = x + i + x_wave.as_int();
    const int64_t row = y + y_wave.as_int();
    // The cell clip of canvas_put_char, and its signed 8-bit store.
    if (column >= 0 && column < width && row >= 0 && row < height) {
      cells[row * width + column] = static_cast<signed char>(text.as_char());
    }
    text.next();
    x_wave.next();
    y_wave.next();
  }
}

void scroller_advance(WaveScroller* scroller) {
  const int32_t frames = scroller->canvas->frames;
  if (frames % 3 == 0) sequence_step(scroller->text.get());
  if (frames % 2 == 0) sequence_step(scroller->x_wave.get());
  if (frames % 3 == 0) sequence_step(scroller->y_wave.get());
}
