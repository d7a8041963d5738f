// Arbitrary drawing calls with arbitrary coordinates on a small canvas: the
// drawing primitives, block-font glyphs, line trails and wave scrollers,
// and presentation. Nothing may touch memory outside the canvas or overflow
// (the sanitizers watch), and the primitives must draw exactly the cells
// that a plain model of their rules gives: the model tests every cell of
// the canvas against each call and walks lines step by step; a line beyond
// the reach of the 16.16 fixed point draws nothing. The effects are not
// modelled: after them the model takes the canvas as it is.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/draw.h"
#include "canvas/font.h"
#include "effects/scroller.h"
#include "effects/trail.h"
#include "fuzz/fuzz_check.h"
#include "tests/support/test_canvas.h"

namespace {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool empty() const {
    return at_ >= size_;
  }
  uint8_t byte() {
    return at_ < size_ ? data_[at_++] : 0;
  }
  int32_t full() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | byte();
    return static_cast<int32_t>(value);
  }
  // A coordinate: mostly small, around and on the canvas, but any 32-bit
  // value when the tag's high bit is set.
  int32_t coordinate() {
    const uint8_t tag = byte();
    if (tag & 0x80) return full();
    return static_cast<int32_t>(tag) - 32;
  }
  std::string text() {
    std::string text;
    for (uint8_t length = byte() % 24; length > 0 && !empty(); --length) {
      const char c = static_cast<char>(byte());
      if (c != '\0') text += c;
    }
    return text;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// The canvas as the rules say it should be.
struct Model {
  int32_t width;
  int32_t height;
  std::vector<int32_t> cells;

  void set(int64_t column, int64_t row, int32_t value) {
    if (column >= 0 && column < width && row >= 0 && row < height) {
      cells[static_cast<size_t>(row * width + column)] = value;
    }
  }
  // Every cell for which `covered(column, row)` holds gets the value.
  template <typename Covered>
  void paint(Covered covered, int32_t value) {
    for (int32_t r = 0; r < height; ++r) {
      for (int32_t c = 0; c < width; ++c) {
        if (covered(int64_t{c}, int64_t{r})) set(c, r, value);
      }
    }
  }
};

int32_t char_value(char ch) {
  return static_cast<signed char>(ch);
}

int64_t lowest(int64_t a, int64_t b) {
  return a < b ? a : b;
}
int64_t highest(int64_t a, int64_t b) {
  return a < b ? b : a;
}

// Whether the line rule holds: coordinates and distances within the 16
// integer bits of its fixed point.
bool line_rule_holds(int32_t c0, int32_t r0, int32_t c1, int32_t r1) {
  for (int64_t v : {c0, r0, c1, r1}) {
    if (v < -32768 || v > 32767) return false;
  }
  return std::abs(int64_t{c1} - c0) <= 32767 && std::abs(int64_t{r1} - r0) <= 32767;
}

// The line rule, step by step in 32-bit fixed point.
void model_line(Model& model, int32_t c0, int32_t r0, int32_t c1, int32_t r1, int32_t value) {
  const int32_t w = model.width;
  const int32_t h = model.height;
  if ((c0 < 0 && c1 < 0) || (c0 >= w && c1 >= w) || (r0 < 0 && r1 < 0) || (r0 >= h && r1 >= h)) {
    return;
  }
  const int32_t dx = c1 > c0 ? c1 - c0 : c0 - c1;
  const int32_t dy = r1 > r0 ? r1 - r0 : r0 - r1;
  const int32_t column_step = c1 < c0 ? -1 : 1;
  const int32_t row_step = r1 < r0 ? -1 : 1;
  if (dx == 0 && dy == 0) {
    model.set(c0, r0, value);
  } else if (dx >= dy) {
    const int32_t increment = dy * 65536 / dx * row_step;
    int32_t row = r0 * 65536 + 32768;
    for (int32_t column = c0; column != c1; column += column_step, row += increment) {
      model.set(column, row >> 16, value);
    }
  } else {
    const int32_t increment = dx * 65536 / dy * column_step;
    int32_t column = c0 * 65536 + 32768;
    for (int32_t row = r0; row != r1; row += row_step, column += increment) {
      model.set(column >> 16, row, value);
    }
  }
}

// The bytes of a presented frame, from the model's cells.
std::string model_frame(const Model& model) {
  std::string frame;
  for (int32_t r = 0; r < model.height; ++r) {
    frame += '\n';
    for (int32_t c = 0; c + 1 < model.width; ++c) {
      frame += static_cast<char>(model.cells[static_cast<size_t>(r * model.width + c)]);
    }
  }
  return frame;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FILE* const out = std::fopen("/dev/null", "w");
  Input input(data, size);
  OwnedCanvas canvas(canvas_create());
  const int32_t width = input.byte() % 12 + 1;  // the width byte comes first
  const int32_t height = input.byte() % 9 + 1;
  canvas_resize(canvas.get(), width, height);
  Model model{canvas->width, canvas->height, {}};
  model.cells.assign(static_cast<size_t>(model.width * model.height), ' ');
  std::unique_ptr<BlockFont, void (*)(BlockFont*)> font(font_create(), font_release);
  std::unique_ptr<LineTrail, void (*)(LineTrail*)> trail(trail_create(), trail_release);
  std::unique_ptr<WaveScroller, void (*)(WaveScroller*)> scroller(scroller_create(),
                                                                  scroller_release);

  for (int calls = 0; calls < 64 && !input.empty(); ++calls) {
    bool modelled = true;
    const uint8_t op = input.byte() % 12;
    const char ch = static_cast<char>(input.byte());
    if (op == 0) {
      const int32_t c = input.coordinate(), r = input.coordinate(), v = input.full();
      canvas_set_cell(canvas.get(), c, r, v);
      model.set(c, r, v);
    } else if (op == 1) {
      const int32_t c = input.coordinate(), r = input.coordinate();
      canvas_put_char(canvas.get(), c, r, ch);
      model.set(c, r, char_value(ch));
    } else if (op == 2) {
      const int32_t c = input.coordinate(), r = input.coordinate();
      const std::string text = input.text();
      canvas_draw_text(canvas.get(), c, r, text.c_str());
      int64_t x = c, y = r;
      for (char t : text) {
        if (t == '\n') {
          ++y;
          x = c;
        } else {
          model.set(x++, y, char_value(t));
        }
      }
    } else if (op == 3 || op == 4) {
      const int32_t a = input.coordinate(), b = input.coordinate(), at = input.coordinate();
      if (op == 3) {
        canvas_hspan(canvas.get(), a, b, at, ch);
        model.paint([&](int64_t c,
                        int64_t r) { return r == at && c >= lowest(a, b) && c <= highest(a, b); },
                    char_value(ch));
      } else {
        canvas_vspan(canvas.get(), a, b, at, ch);
        model.paint([&](int64_t c,
                        int64_t r) { return c == at && r >= lowest(a, b) && r <= highest(a, b); },
                    char_value(ch));
      }
    } else if (op == 5) {
      const int32_t c0 = input.coordinate(), r0 = input.coordinate();
      const int32_t c1 = input.coordinate(), r1 = input.coordinate();
      canvas_fill_rect(canvas.get(), c0, r0, c1, r1, ch);
      model.paint(
          [&](int64_t c, int64_t r) {
            return c >= lowest(c0, c1) && c <= highest(c0, c1) && r >= lowest(r0, r1) &&
                   r <= highest(r0, r1);
          },
          char_value(ch));
    } else if (op == 6 || op == 7) {
      const int32_t c0 = input.coordinate(), r0 = input.coordinate();
      const int32_t c1 = input.coordinate(), r1 = input.coordinate();
      canvas_draw_line(canvas.get(), c0, r0, c1, r1, ch);
      if (line_rule_holds(c0, r0, c1, r1)) model_line(model, c0, r0, c1, r1, char_value(ch));
    } else if (op == 8) {
      const int32_t value = input.full();
      canvas_fill(canvas.get(), value);
      model.paint([](int64_t, int64_t) { return true; }, value);
    } else if (op == 9) {
      const int32_t c = input.coordinate(), r = input.coordinate(), code = input.coordinate();
      font_draw_glyph(font.get(), c, r, code);
      modelled = false;
    } else if (op == 10) {
      LineTrail& t = *trail;
      for (int32_t* field : {&t.x1, &t.y1, &t.x2, &t.y2, &t.vx1, &t.vy1, &t.vx2, &t.vy2,
                             &t.spacing_x1, &t.spacing_y1, &t.spacing_x2, &t.spacing_y2}) {
        *field = input.coordinate();
      }
      t.echo_count = input.byte() % 8;
      t.ch = ch;
      trail_draw(trail.get());
      trail_advance(trail.get());
      modelled = false;
    } else if (op == 11) {
      scroller->x = input.coordinate();
      scroller->y = input.coordinate();
      for (CyclicSequence* sequence :
           {scroller->text.get(), scroller->x_wave.get(), scroller->y_wave.get()}) {
        sequence->step = input.coordinate();
      }
      scroller_draw(scroller.get());
      scroller_advance(scroller.get());
      modelled = false;
    }
    if (modelled) {
      FUZZ_CHECK(std::memcmp(canvas->cells.get(), model.cells.data(),
                             model.cells.size() * sizeof(int32_t)) == 0);
    } else {
      model.cells.assign(canvas->cells.get(), canvas->cells.get() + model.cells.size());
    }
  }
  canvas_present(canvas.get(), out);
  FUZZ_CHECK(std::string(canvas->layout.get(), model.cells.size()) == model_frame(model));
  return 0;
}
