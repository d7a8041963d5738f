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

// Column i of the run takes the text's character and both waves' offsets i
// steps on from where the sequences stand. The steps are taken on copies,
// so drawing changes nothing. The copies and the base, held in locals, are
// out of the cell stores' reach, so the compiler keeps them in registers.
// The sums are wide: a base at the end of the 32-bit range lies off the
// canvas, not round on the other side.
void scroller_draw(const WaveScroller* scroller) {
  CyclicSequence text = *scroller->text;
  CyclicSequence x_wave = *scroller->x_wave;
  CyclicSequence y_wave = *scroller->y_wave;
  const int64_t x = scroller->x;
  const int64_t y = scroller->y;
  const int32_t width = scroller->canvas->width;
  for (int32_t i = 0; i < width; ++i) {
    canvas_put_char(scroller->canvas, x + i + sequence_current_int(&x_wave),
                    y + sequence_current_int(&y_wave), sequence_current_char(&text));
    sequence_step(&text);
    sequence_step(&x_wave);
    sequence_step(&y_wave);
  }
}

void scroller_advance(WaveScroller* scroller) {
  const int32_t frames = scroller->canvas->frames;
  if (frames % 3 == 0) sequence_step(scroller->text.get());
  if (frames % 2 == 0) sequence_step(scroller->x_wave.get());
  if (frames % 3 == 0) sequence_step(scroller->y_wave.get());
}
