#include "canvas/draw.h"
#include "tests/support/test_canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <memory>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using Cell = std::pair<int32_t, int32_t>;  // column, row

class Draw : public ::testing::Test {
 protected:
  Draw() : canvas_(canvas_create()) {}

  Canvas* canvas() {
    return canvas_.get();
  }

  // The cells that hold something other than a blank.
  std::set<Cell> inked() const {
    std::set<Cell> cells;
    for (int32_t r = 0; r < canvas_->height; ++r) {
      for (int32_t c = 0; c < canvas_->width; ++c) {
        if (at(c, r) != ' ') cells.insert({c, r});
      }
    }
    return cells;
  }

  int32_t at(int32_t column, int32_t row) const {
    return canvas_->cells[row * canvas_->width + column];
  }

  std::set<Cell> line(int32_t c0, int32_t r0, int32_t c1, int32_t r1) {
    canvas_fill(canvas(), ' ');
    canvas_draw_line(canvas(), c0, r0, c1, r1, '*');
    return inked();
  }

 private:
  OwnedCanvas canvas_;
};

TEST_F(Draw, CellsOffTheCanvasAreSkipped) {
  for (const auto& [c, r] : {Cell{-1, 0}, {0, -1}, {80, 0}, {0, 25}, {INT32_MIN, INT32_MAX}}) {
    canvas_put_char(canvas(), c, r, '#');
    canvas_set_cell(canvas(), c, r, 7);
  }
  EXPECT_TRUE(inked().empty());
  canvas_put_char(canvas(), 79, 24, '#');
  EXPECT_EQ(inked(), (std::set<Cell>{{79, 24}}));
}

TEST_F(Draw, TextBlocksStartEachLineAtTheStartingColumn) {
  canvas_draw_text(canvas(), 5, 2, "AB\nZ");
  EXPECT_EQ(at(5, 2), 'A');
  EXPECT_EQ(at(6, 2), 'B');
  EXPECT_EQ(at(5, 3), 'Z');
  EXPECT_EQ(inked().size(), 3u);
}

TEST_F(Draw, TextBlocksClipPerCellAndOverwriteWithBlanks) {
  canvas_fill(canvas(), '#');
  canvas_draw_text(canvas(), -1, 0, "abc\nde f");
  EXPECT_EQ(at(0, 0), 'b');
  EXPECT_EQ(at(1, 0), 'c');
  EXPECT_EQ(at(0, 1), 'e');
  EXPECT_EQ(at(1, 1), ' ');
  EXPECT_EQ(at(2, 1), 'f');
  EXPECT_EQ(at(2, 0), '#');
}

TEST_F(Draw, TextFarOffTheCanvasDrawsNothing) {
  canvas_draw_text(canvas(), INT32_MAX - 1, INT32_MAX, "long text\nmore\n");
  canvas_draw_text(canvas(), INT32_MIN, INT32_MIN, "x\ny");
  EXPECT_TRUE(inked().empty());
}

TEST_F(Draw, SpansOrderAndClampTheirEnds) {
  canvas_hspan(canvas(), 10, 3, 4, '-');
  std::set<Cell> expected;
  for (int32_t c = 3; c <= 10; ++c) expected.insert({c, 4});
  EXPECT_EQ(inked(), expected);

  canvas_fill(canvas(), ' ');
  canvas_hspan(canvas(), -5, 1000, 0, '-');
  EXPECT_EQ(inked().size(), 80u);
  canvas_hspan(canvas(), 0, 79, -1, '=');
  canvas_hspan(canvas(), 0, 79, 25, '=');
  EXPECT_EQ(inked().size(), 80u);

  canvas_fill(canvas(), ' ');
  canvas_vspan(canvas(), 30, -30, 2, '|');
  EXPECT_EQ(inked().size(), 25u);
  canvas_vspan(canvas(), 0, 24, 80, '|');
  canvas_vspan(canvas(), INT32_MIN, INT32_MAX, -1, '|');
  EXPECT_EQ(inked().size(), 25u);
}

TEST_F(Draw, RectanglesGiveTheSameCellsWhicheverCornersArePassed) {
  canvas_fill_rect(canvas(), 2, 1, 4, 3, '#');
  const std::set<Cell> nine = inked();
  EXPECT_EQ(nine.size(), 9u);
  for (const auto& [c0, r0, c1, r1] : {std::tuple{4, 3, 2, 1}, {2, 3, 4, 1}, {4, 1, 2, 3}}) {
    canvas_fill(canvas(), ' ');
    canvas_fill_rect(canvas(), c0, r0, c1, r1, '#');
    EXPECT_EQ(inked(), nine);
  }
  canvas_fill(canvas(), ' ');
  canvas_fill_rect(canvas(), INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, '#');
  EXPECT_EQ(inked().size(), 80u * 25u);
}

TEST_F(Draw, LinesStopShortOfTheirEndPoint) {
  EXPECT_EQ(line(0, 0, 3, 1), (std::set<Cell>{{0, 0}, {1, 0}, {2, 1}}));
  EXPECT_EQ(line(0, 0, 0, 3), (std::set<Cell>{{0, 0}, {0, 1}, {0, 2}}));
  EXPECT_EQ(line(5, 0, 0, 5), (std::set<Cell>{{5, 0}, {4, 1}, {3, 2}, {2, 3}, {1, 4}}));
  EXPECT_EQ(line(2, 2, 2, 2), (std::set<Cell>{{2, 2}}));
  // The cell at row -1 is clipped.
  EXPECT_EQ(line(0, 0, 3, -1), (std::set<Cell>{{0, 0}, {1, 0}}));
}

TEST_F(Draw, LinesRoundTheTrailingAxisFromTheMiddleOfTheCell) {
  // Rows lead; each column is the running middle rounded down.
  EXPECT_EQ(line(0, 0, 1, 4), (std::set<Cell>{{0, 0}, {0, 1}, {1, 2}, {1, 3}}));
  // Leftwards and upwards steps round down too, not toward zero.
  EXPECT_EQ(line(3, 3, 0, 2), (std::set<Cell>{{3, 3}, {2, 3}, {1, 2}}));
}

TEST_F(Draw, LinesWhollyOnOneSideDrawNothing) {
  EXPECT_TRUE(line(-50, -1, 50, -9).empty());
  EXPECT_TRUE(line(80, 0, 200, 24).empty());
  EXPECT_TRUE(line(0, 25, 79, 30).empty());
  canvas_draw_line(nullptr, 0, 0, 5, 5, '*');
}

TEST_F(Draw, LinesCrossingTheCanvasShowOnlyTheirVisibleCells) {
  // A line from far left to far right on one row fills the whole row.
  std::set<Cell> row;
  for (int32_t c = 0; c < 80; ++c) row.insert({c, 7});
  EXPECT_EQ(line(-1000, 7, 1000, 7), row);
  EXPECT_EQ(line(1000, 7, -1000, 7), row);
  // The long diagonal matches its short visible piece.
  EXPECT_EQ(line(-100, -100, 100, 100), line(0, 0, 25, 25));
}

TEST_F(Draw, LinesBeyondTheFixedPointRangeDrawNothing) {
  // Up to the 16 integer bits of the fixed point a long line shows its
  // visible cells; past them it draws nothing, and neither overflows nor
  // steps through four billion cells.
  EXPECT_EQ(line(-16384, 3, 16383, 3).size(), 80u);
  EXPECT_EQ(line(5, 0, 5, 32767).size(), 25u);
  EXPECT_TRUE(line(-32768, 3, 32767, 3).empty());
  EXPECT_TRUE(line(INT32_MIN, 3, INT32_MAX, 3).empty());
  EXPECT_TRUE(line(5, INT32_MIN, 5, INT32_MAX).empty());
  EXPECT_TRUE(line(INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX).empty());
}

}  // namespace
