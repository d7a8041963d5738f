#include "intro/orbit.h"
#include "tests/support/test_canvas.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <utility>

namespace {

using Cell = std::pair<int32_t, int32_t>;

// With a one-cell logo every copy marks exactly its top-left corner.
std::set<Cell> corners(Canvas* canvas, const LogoOrbit& orbit) {
  canvas_fill(canvas, ' ');
  orbit_draw(orbit);
  std::set<Cell> cells;
  for (int32_t r = 0; r < canvas->height; ++r) {
    for (int32_t c = 0; c < canvas->width; ++c) {
      if (canvas->cells[r * canvas->width + c] == '@') cells.insert({c, r});
    }
  }
  return cells;
}

TEST(Orbit, FitsThePathToTheCanvas) {
  const auto check = [](int32_t w, int32_t h, int32_t cx, int32_t cy, int32_t sx, int32_t sy) {
    OwnedCanvas canvas = owned_canvas(w, h);
    const LogoOrbit orbit = orbit_setup(canvas.get(), "@");
    EXPECT_EQ(orbit.centre_x, cx) << w << "x" << h;
    EXPECT_EQ(orbit.centre_y, cy) << w << "x" << h;
    EXPECT_EQ(orbit.scale_x, sx) << w << "x" << h;
    EXPECT_EQ(orbit.scale_y, sy) << w << "x" << h;
  };
  check(80, 25, 37, 10, 2, 1);
  check(80, 50, 37, 23, 2, 2);
  check(40, 24, 17, 10, 1, 1);
  check(39, 19, 16, 7, 0, 0);
  check(1, 1, -3, -2, 0, 0);
}

TEST(Orbit, TheFirstFrameSpacesTheCopiesAlongBothPaths) {
  OwnedCanvas canvas = owned_canvas(80, 25);
  LogoOrbit orbit = orbit_setup(canvas.get(), "@");
  // x entries 0, 8, 16, 24, 32 and y entries 0, 4, 8, 12, 16.
  EXPECT_EQ(corners(canvas.get(), orbit),
            (std::set<Cell>{{37, 10}, {53, 14}, {65, 17}, {73, 19}, {67, 19}}));
  EXPECT_EQ(orbit.x_position, 0);
  orbit_advance(orbit);
  // x entries 1, 9, 17, 25, 33 and y entries 1, 5, 9, 13, 17.
  EXPECT_EQ(corners(canvas.get(), orbit),
            (std::set<Cell>{{39, 11}, {55, 15}, {67, 18}, {73, 19}, {65, 19}}));
}

TEST(Orbit, NarrowAndShortScreensStackTheCopies) {
  OwnedCanvas canvas = owned_canvas(39, 19);
  LogoOrbit orbit = orbit_setup(canvas.get(), "@");
  for (int frame = 0; frame < 10; ++frame) {
    EXPECT_EQ(corners(canvas.get(), orbit), (std::set<Cell>{{16, 7}}));
    orbit_advance(orbit);
  }
}

TEST(Orbit, ALogoLeftOfTheScreenLosesItsFirstColumn) {
  OwnedCanvas canvas = owned_canvas(40, 24);
  LogoOrbit orbit = orbit_setup(canvas.get(), "abcde\nfghij\n");
  orbit.x_position = 71;  // offset -18: column 17 - 18 = -1
  canvas_fill(canvas.get(), ' ');
  orbit_draw(orbit);
  const int32_t row = orbit_y_path[0] + 10;
  EXPECT_EQ(canvas->cells[row * 40 + 0], 'b');
  EXPECT_EQ(canvas->cells[row * 40 + 3], 'e');
}

}  // namespace
