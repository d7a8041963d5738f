#include "effects/scroller.h"

#include <algorithm>
#include <climits>

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

// A coordinate summed wide, brought back into 32 bits. Sums beyond the
// range lie off any canvas, and so do the ends of the range they are
// clamped to.
static int32_t clamped_coordinate(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// Column i of the run takes the text's character and both waves' offsets i
// steps on from where the sequences stand; their positions are put back
// afterwards, so drawing changes nothing.
void scroller_draw(WaveScroller* scroller) {
  CyclicSequence* const sequences[] = {scroller->text.get(), scroller->x_wave.get(),
                                       scroller->y_wave.get()};
  const int32_t saved[] = {sequences[0]->position, sequences[1]->position, sequences[2]->position};
  for (int32_t i = 0; i < scroller->canvas->width; ++i) {
    const int64_t column = int64_t{scroller->x} + i + sequence_current_int(scroller->x_wave.get());
    const int64_t row = int64_t{scroller->y} + sequence_current_int(scroller->y_wave.get());
    canvas_put_char(scroller->canvas, clamped_coordinate(column), clamped_coordinate(row),
                    sequence_current_char(scroller->text.get()));
    for (CyclicSequence* sequence : sequences) sequence_step(sequence);
  }
  for (int k = 0; k < 3; ++k) sequences[k]->position = saved[k];
}

void scroller_advance(WaveScroller* scroller) {
  const int32_t frames = scroller->canvas->frames;
  if (frames % 3 == 0) sequence_step(scroller->text.get());
  if (frames % 2 == 0) sequence_step(scroller->x_wave.get());
  if (frames % 3 == 0) sequence_step(scroller->y_wave.get());
}
