#include "canvas/draw.h"

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
  std::unique_ptr<Canvas> canvas_;
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

// The line rule step by step in 32-bit 16.16 fixed point, through the cell
// clip, as it reads; it holds for coordinates and distances within the 16
// integer bits.
void stepped_line(Canvas* canvas, int32_t c0, int32_t r0, int32_t c1, int32_t r1, char ch) {
  const int32_t w = canvas->width;
  const int32_t h = canvas->height;
  if ((c0 < 0 && c1 < 0) || (c0 >= w && c1 >= w) || (r0 < 0 && r1 < 0) || (r0 >= h && r1 >= h)) {
    return;
  }
  const int32_t dx = c1 > c0 ? c1 - c0 : c0 - c1;
  const int32_t dy = r1 > r0 ? r1 - r0 : r0 - r1;
  const int32_t column_step = c1 < c0 ? -1 : 1;
  const int32_t row_step = r1 < r0 ? -1 : 1;
  if (dx == 0 && dy == 0) {
    canvas_put_char(canvas, c0, r0, ch);
  } else if (dx >= dy) {
    const int32_t increment = dy * 65536 / dx * row_step;
    int32_t row = r0 * 65536 + 32768;
    for (int32_t column = c0; column != c1; column += column_step, row += increment) {
      canvas_put_char(canvas, column, row >> 16, ch);
    }
  } else {
    const int32_t increment = dx * 65536 / dy * column_step;
    int32_t column = c0 * 65536 + 32768;
    for (int32_t row = r0; row != r1; row += row_step, column += increment) {
      canvas_put_char(canvas, column >> 16, row, ch);
    }
  }
}

TEST_F(Draw, LinesDrawTheCellsOfTheSteppedRuleWhereverItHolds) {
  // The drawing walks only the steps it can see; every line must still give
  // exactly the cells of the plain step-by-step walk. Short lines around
  // and across the canvas, long ones from far off, and ones whose distance
  // is the largest that the rule holds for.
  uint32_t state = 99;
  auto next = [&state](int32_t low, int32_t high) {
    state = state * 1103515245u + 12345u;
    return low + static_cast<int32_t>((state >> 8) % static_cast<uint32_t>(high - low + 1));
  };
  std::vector<std::array<int32_t, 4>> lines = {
      {-32768, 3, -1, 20},  {32767, 24, 0, 0}, {-16384, -16384, 16383, 16383},
      {40, -32768, 41, -1}, {0, 32767, 79, 0}, {-32768, 0, -1, 32767}};
  for (int i = 0; i < 3000; ++i) {
    lines.push_back({next(-40, 120), next(-30, 55), next(-40, 120), next(-30, 55)});
  }
  for (int i = 0; i < 300; ++i) {
    lines.push_back(
        {next(-16000, 16000), next(-16000, 16000), next(-16000, 16000), next(-16000, 16000)});
  }
  std::unique_ptr<Canvas> expected(canvas_create());
  for (const auto& [c0, r0, c1, r1] : lines) {
    canvas_fill(expected.get(), ' ');
    stepped_line(expected.get(), c0, r0, c1, r1, '*');
    canvas_fill(canvas(), ' ');
    canvas_draw_line(canvas(), c0, r0, c1, r1, '*');
    ASSERT_TRUE(
        std::equal(canvas()->cells.get(), canvas()->cells.get() + 80 * 25, expected->cells.get()))
        << "line " << c0 << "," << r0 << " to " << c1 << "," << r1;
  }
}

TEST_F(Draw, LinesAtTheExtremesOfTheCoordinateRangeAreDefined) {
  // These pass the 16-bit integer part of the fixed point; they must neither
  // overflow nor step through four billion cells.
  const std::set<Cell> across = line(INT32_MIN, 3, INT32_MAX, 3);
  EXPECT_EQ(across.size(), 80u);
  const std::set<Cell> down = line(5, INT32_MIN, 5, INT32_MAX);
  EXPECT_EQ(down.size(), 25u);
  line(INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX);
  line(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
}

}  // namespace
