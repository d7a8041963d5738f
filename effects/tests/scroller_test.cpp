#include "effects/scroller.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <utility>

#include "canvas/draw.h"
#include "tests/support/memory_stream.h"
#include "tests/support/test_canvas.h"

namespace {

class Scroller : public ::testing::Test {
 protected:
  Scroller() : canvas_(canvas_create()), scroller_(scroller_create()) {}

  Canvas* canvas() {
    return canvas_.get();
  }
  WaveScroller* scroller() {
    return scroller_.get();
  }

  std::string row(int32_t r) const {
    std::string cells;
    for (int32_t c = 0; c < canvas_->width; ++c) {
      cells += static_cast<char>(canvas_->cells[r * canvas_->width + c]);
    }
    return cells;
  }

  std::string drawn() {
    canvas_fill(canvas(), ' ');
    scroller_draw(scroller());
    std::string all;
    for (int32_t r = 0; r < canvas_->height; ++r) all += row(r) + "\n";
    return all;
  }

  void flatten_x() {
    scroller_->x_wave = sequence_over(flat_, 4, 3);
  }
  void flatten_y() {
    scroller_->y_wave = sequence_over(flat_, 4, 3);
  }

  // Presents the frame (counting it) and then advances, as the frame loop
  // does.
  void next_frame() {
    MemoryStream sink;
    canvas_present(canvas(), sink.stream());
    scroller_advance(scroller());
  }

 private:
  const int32_t flat_[3] = {};
  OwnedCanvas canvas_;
  std::unique_ptr<WaveScroller> scroller_;
};

TEST_F(Scroller, TakesTheCanvasAndTheDefaults) {
  EXPECT_EQ(scroller()->canvas, canvas());
  EXPECT_EQ(scroller()->width, 80);
  EXPECT_EQ(scroller()->height, 25);
  EXPECT_EQ(scroller()->text->count, 31);
  EXPECT_EQ(scroller()->x_wave->count, 42);
  EXPECT_EQ(scroller()->y_wave->count, 118);
}

TEST_F(Scroller, FlatWavesGiveAStraightRepeatingLine) {
  flatten_x();
  flatten_y();
  scroller()->y = 3;
  drawn();
  const std::string text = scroller_default_text;
  EXPECT_EQ(row(3), (text + text + text).substr(0, 80));
}

TEST_F(Scroller, DefaultWavesBendTheLine) {
  scroller()->y = 10;
  drawn();
  // Column 0 has offsets (0, 0); column 30 has x-offset -7 and y-offset -4.
  EXPECT_EQ(row(10)[0], 'A');
  EXPECT_EQ(row(6)[23], scroller_default_text[30 % 31]);
}

TEST_F(Scroller, RunsThatStartLeftOfTheCanvasAreClipped) {
  scroller()->x_wave->position = 30;  // offsets -7, -7, -7, -7, -6, -6, -5, ...
  flatten_y();
  drawn();
  const std::string top = row(0);
  // Run columns 0 to 5 land left of column 0; column 6 (offset -5) lands on 1.
  EXPECT_EQ(top[0], ' ');
  EXPECT_EQ(top[1], scroller_default_text[6]);
  EXPECT_EQ(top[3], scroller_default_text[7]);
  EXPECT_EQ(top[4], scroller_default_text[8]);
}

TEST_F(Scroller, DrawingChangesNothing) {
  scroller()->y = 12;
  for (int i = 0; i < 5; ++i) next_frame();
  const int32_t positions[] = {scroller()->text->position, scroller()->x_wave->position,
                               scroller()->y_wave->position};
  const std::string first = drawn();
  EXPECT_EQ(first, drawn());
  EXPECT_EQ(scroller()->text->position, positions[0]);
  EXPECT_EQ(scroller()->x_wave->position, positions[1]);
  EXPECT_EQ(scroller()->y_wave->position, positions[2]);
}

TEST_F(Scroller, PacesOnTheFramesPresented) {
  // After frame f the text and the y-wave step when 3 divides f and the
  // x-wave when 2 does.
  const int32_t text[] = {0, 0, 1, 1, 1, 2};
  const int32_t x_wave[] = {0, 1, 1, 2, 2, 3};
  for (int frame = 0; frame < 6; ++frame) {
    next_frame();
    EXPECT_EQ(scroller()->text->position, text[frame]) << "frame " << frame + 1;
    EXPECT_EQ(scroller()->y_wave->position, text[frame]) << "frame " << frame + 1;
    EXPECT_EQ(scroller()->x_wave->position, x_wave[frame]) << "frame " << frame + 1;
  }
}

TEST_F(Scroller, AnAdvanceBeforeAnyFrameStepsAllThree) {
  scroller_advance(scroller());
  EXPECT_EQ(scroller()->text->position, 1);
  EXPECT_EQ(scroller()->x_wave->position, 1);
  EXPECT_EQ(scroller()->y_wave->position, 1);
}

TEST_F(Scroller, RowsOffTheCanvasAreSkippedColumnByColumn) {
  flatten_x();
  scroller()->y = 27;  // only columns whose y-offset is -3 or -4 reach rows 23 and 24
  drawn();
  for (int32_t c = 0; c < 80; ++c) {
    const int32_t offset = scroller_default_y_wave[c];
    const char expected = offset <= -3 ? scroller_default_text[c % 31] : ' ';
    EXPECT_EQ(row(27 + offset < 25 ? 27 + offset : 24)[c], expected) << "column " << c;
  }
}

TEST_F(Scroller, BasesAtTheEndsOfTheRangeDrawNothing) {
  // Base plus column plus offset passes the 32-bit range; the sum must not
  // wrap back onto the canvas, nor overflow.
  std::string blank;
  for (int r = 0; r < 25; ++r) blank += std::string(80, ' ') + "\n";
  for (const auto& [x, y] :
       {std::pair{INT32_MAX, 5}, std::pair{INT32_MIN, 5}, std::pair{0, INT32_MAX},
        std::pair{0, INT32_MIN}, std::pair{INT32_MAX - 40, INT32_MIN + 2}}) {
    scroller()->x = x;
    scroller()->y = y;
    EXPECT_EQ(drawn(), blank) << x << "," << y;
  }
  // Just inside the range, the run still reaches the canvas.
  flatten_x();
  flatten_y();
  scroller()->x = -79;
  scroller()->y = 0;
  EXPECT_EQ(drawn().substr(0, 2), std::string(1, scroller_default_text[79 % 31]) + " ");
}

}  // namespace
