#include "canvas/canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

#include "canvas/draw.h"
#include "tests/support/memory_stream.h"
#include "tests/support/test_canvas.h"

namespace {

std::string presented(Canvas* canvas) {
  MemoryStream out;
  canvas_present(canvas, out.stream());
  return out.text();
}

TEST(Canvas, FreshCanvasPresentsAsBlankEightyByTwentyFive) {
  OwnedCanvas canvas(canvas_create());
  EXPECT_EQ(current_canvas, canvas.get());
  std::string expected = "\n";
  for (int row = 0; row < 24; ++row) expected += std::string(79, ' ') + "\n";
  expected += std::string(79, ' ');
  EXPECT_EQ(presented(canvas.get()), expected);
  EXPECT_EQ(expected.size(), 2000u);
  EXPECT_EQ(canvas->frames, 1);
}

TEST(Canvas, LastColumnIsHiddenAndTheOneBeforeEndsTheLine) {
  OwnedCanvas canvas(canvas_create());
  canvas_put_char(canvas.get(), 79, 0, 'H');
  canvas_put_char(canvas.get(), 78, 1, 'L');
  const std::string frame = presented(canvas.get());
  EXPECT_EQ(frame.find('H'), std::string::npos);
  EXPECT_EQ(frame.substr(1 + 80, 80), std::string(78, ' ') + "L\n");
}

TEST(Canvas, ThinCanvasesKeepTheFrameStructure) {
  // Width 1: only the line ends remain.
  EXPECT_EQ(presented(owned_canvas(1, 4).get()), "\n\n\n\n");
  // Height 1: a line end, then the row without a line end after it.
  OwnedCanvas row = owned_canvas(5, 1);
  canvas_draw_text(row.get(), 0, 0, "abcde");
  EXPECT_EQ(presented(row.get()), "\nabcd");
  EXPECT_EQ(presented(owned_canvas(1, 1).get()), "\n");
}

TEST(Canvas, EveryFrameIsWidthTimesHeightBytesWithHeightLineEnds) {
  for (const auto& [width, height] : {std::pair{1, 1}, {2, 3}, {7, 5}, {123, 37}}) {
    const std::string frame = presented(owned_canvas(width, height).get());
    EXPECT_EQ(frame.size(), static_cast<size_t>(width * height));
    EXPECT_EQ(std::count(frame.begin(), frame.end(), '\n'), height);
    EXPECT_EQ(frame.front(), '\n');
  }
}

TEST(Canvas, ResizeBlanksEveryCellAndKeepsTheFrameCount) {
  OwnedCanvas canvas(canvas_create());
  canvas_fill_rect(canvas.get(), 0, 0, 79, 24, '#');
  presented(canvas.get());
  canvas_resize(canvas.get(), 40, 24);
  EXPECT_EQ(canvas->width, 40);
  EXPECT_EQ(canvas->height, 24);
  for (int i = 0; i < 40 * 24; ++i) ASSERT_EQ(canvas->cells[i], ' ');
  EXPECT_EQ(canvas->frames, 1);
}

TEST(Canvas, SizesBelowOneBecomeOne) {
  OwnedCanvas canvas = owned_canvas(0, -3);
  EXPECT_EQ(canvas->width, 1);
  EXPECT_EQ(canvas->height, 1);
  EXPECT_EQ(presented(canvas.get()), "\n");
}

TEST(Canvas, CellsPrintTheirLowByte) {
  OwnedCanvas canvas = owned_canvas(4, 1);
  canvas_set_cell(canvas.get(), 0, 0, 321);  // 0x141
  canvas_put_char(canvas.get(), 1, 0, static_cast<char>(233));
  canvas_set_cell(canvas.get(), 2, 0, -23);
  EXPECT_EQ(canvas->cells[1], -23);
  EXPECT_EQ(presented(canvas.get()), "\nA\xE9\xE9");
}

TEST(Canvas, PresentingTwiceWritesTheSameFrameAndCountsTwo) {
  OwnedCanvas canvas = owned_canvas(9, 3);
  canvas_draw_text(canvas.get(), 2, 1, "hi");
  MemoryStream out;
  canvas_present(canvas.get(), out.stream());
  canvas_present(canvas.get(), out.stream());
  const std::string both = out.text();
  EXPECT_EQ(both.substr(0, 27), both.substr(27));
  EXPECT_EQ(canvas->frames, 2);
}

TEST(Canvas, FillStoresAnyValue) {
  OwnedCanvas canvas = owned_canvas(3, 2);
  canvas_fill(canvas.get(), 0x1234);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(canvas->cells[i], 0x1234);
}

}  // namespace
