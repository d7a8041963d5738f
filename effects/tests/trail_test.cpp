#include "effects/trail.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <memory>
#include <tuple>
#include <vector>

#include "canvas/draw.h"
#include "tests/support/test_canvas.h"

namespace {

class Trail : public ::testing::Test {
 protected:
  Trail() : canvas_(canvas_create()) {
    std::srand(1234);
    trail_.reset(trail_create());
  }

  Canvas* canvas() {
    return canvas_.get();
  }
  LineTrail* trail() {
    return trail_.get();
  }

  // Both ends on one cell of row 5 that moves along x alone: every line of
  // the fan is a single cell, which shows where its first end went.
  // Sets the ends, the velocities and the spacings, each in the order x1,
  // y1, x2, y2, and the fan's size and character.
  void set_trail(const std::array<int32_t, 4>& ends, const std::array<int32_t, 4>& velocities,
                 const std::array<int32_t, 4>& spacings, int32_t echo_count = 6, char ch = '*') {
    LineTrail& t = *trail();
    std::tie(t.x1, t.y1, t.x2, t.y2) = std::tuple_cat(ends);
    std::tie(t.vx1, t.vy1, t.vx2, t.vy2) = std::tuple_cat(velocities);
    std::tie(t.spacing_x1, t.spacing_y1, t.spacing_x2, t.spacing_y2) = std::tuple_cat(spacings);
    t.echo_count = echo_count;
    t.ch = ch;
  }

  void point_moving_along_x(int32_t x, int32_t spacing_x) {
    set_trail({x, 5, x, 5}, {0, 0, 0, 0}, {spacing_x, 0, spacing_x, 0});
  }

  // The column of each line of the fan, in drawing order.
  std::vector<int32_t> fan_columns() {
    std::vector<int32_t> columns;
    LineTrail copy = *trail();
    for (int32_t echo = 0; echo < copy.echo_count; ++echo) {
      canvas_fill(canvas(), ' ');
      LineTrail single = copy;
      single.echo_count = echo + 1;
      trail_draw(&single);
      columns.push_back(newest_start_column(columns));
    }
    return columns;
  }

 private:
  int32_t newest_start_column(const std::vector<int32_t>& known) const {
    for (int32_t c = 0; c < 80; ++c) {
      if (canvas_->cells[5 * 80 + c] == '*' &&
          std::find(known.begin(), known.end(), c) == known.end()) {
        return c;
      }
    }
    return -1;
  }

  OwnedCanvas canvas_;
  std::unique_ptr<LineTrail> trail_;
};

TEST_F(Trail, DrawsItsTwelveRandomNumbersInOrder) {
  std::srand(99);
  int draws[24];
  for (int& d : draws) d = std::rand();
  std::srand(99);
  std::unique_ptr<LineTrail> a(trail_create());
  std::unique_ptr<LineTrail> b(trail_create());
  EXPECT_EQ(a->x1, draws[0] % 80);
  EXPECT_EQ(a->y1, draws[1] % 25);
  EXPECT_EQ(a->x2, draws[2] % 80);
  EXPECT_EQ(a->y2, draws[3] % 25);
  EXPECT_EQ(a->vy2, (draws[7] & 1) + 1);
  EXPECT_EQ(a->spacing_x1, (draws[8] & 7) + 1);
  EXPECT_EQ(a->spacing_y2, (draws[11] & 7) + 1);
  EXPECT_EQ(a->echo_count, 6);
  EXPECT_EQ(a->ch, 'x');
  EXPECT_EQ(b->x1, draws[12] % 80);
  EXPECT_EQ(b->spacing_y2, (draws[23] & 7) + 1);
}

TEST_F(Trail, EchoesFoldBackAtTheRightEdge) {
  point_moving_along_x(75, 3);
  EXPECT_EQ(fan_columns(), (std::vector<int32_t>{75, 78, 79, 76, 73, 70}));
  EXPECT_EQ(trail()->x1, 75);
  EXPECT_EQ(trail()->spacing_x1, 3);
}

TEST_F(Trail, EchoesFoldBackAtTheLeftEdge) {
  point_moving_along_x(2, -4);
  EXPECT_EQ(fan_columns(), (std::vector<int32_t>{2, 0, 4, 8, 12, 16}));
}

TEST_F(Trail, DrawsEchoCountLinesAndNoneOnShortCanvases) {
  canvas_resize(canvas(), 80, 3);
  std::unique_ptr<LineTrail> flat(trail_create());
  EXPECT_EQ(flat->echo_count, 0);
  canvas_fill(canvas(), ' ');
  trail_draw(flat.get());
  for (int i = 0; i < 80 * 3; ++i) ASSERT_EQ(canvas()->cells[i], ' ');
  const int32_t before = flat->x1;
  flat->vx1 = 1;
  flat->x1 = 10;
  trail_advance(flat.get());
  EXPECT_NE(flat->x1, before == 11 ? 0 : before);
  EXPECT_EQ(flat->x1, 11);
}

TEST_F(Trail, BouncesClampToTheEdgeCellAndTurnTheSpacing) {
  set_trail({79, 10, 40, 1}, {2, 1, 1, -2}, {3, 2, 4, 5});
  trail_advance(trail());
  EXPECT_EQ(trail()->x1, 79);
  EXPECT_EQ(trail()->vx1, -2);
  EXPECT_EQ(trail()->spacing_x1, -3);
  EXPECT_EQ(trail()->y2, 0);  // not mirrored to 1
  EXPECT_EQ(trail()->vy2, 2);
  EXPECT_EQ(trail()->spacing_y2, -5);
  // The other two moved freely and kept their signs.
  EXPECT_EQ(trail()->y1, 11);
  EXPECT_EQ(trail()->x2, 41);
  EXPECT_EQ(trail()->spacing_y1, 2);
  EXPECT_EQ(trail()->spacing_x2, 4);
}

TEST_F(Trail, LandingOnTheLastCellIsNoBounce) {
  set_trail({77, 23, 1, 0}, {2, 2, -1, -1}, {1, 1, 1, 1});
  trail_advance(trail());
  EXPECT_EQ(trail()->x1, 79);  // the last cell: no bounce
  EXPECT_EQ(trail()->vx1, 2);
  EXPECT_EQ(trail()->y1, 24);  // lands on 25: bounces back to 24
  EXPECT_EQ(trail()->vy1, -2);
  EXPECT_EQ(trail()->x2, 0);  // the first cell: no bounce
  EXPECT_EQ(trail()->vx2, -1);
  EXPECT_EQ(trail()->y2, 0);  // lands on -1: bounces
  EXPECT_EQ(trail()->vy2, 1);
  EXPECT_EQ(trail()->spacing_y2, -1);
}

TEST_F(Trail, TheMostNegativeDirectionsTurnWithoutOverflow) {
  // INT32_MIN has no opposite in 32 bits: a bounce leaves it as it is.
  set_trail({5, 5, 70, 20}, {INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN},
            {INT32_MIN, INT32_MAX, INT32_MIN, INT32_MIN}, 4, '#');
  trail_draw(trail());
  trail_advance(trail());
  EXPECT_EQ(trail()->x1, 0);
  EXPECT_EQ(trail()->vx1, INT32_MIN);
  EXPECT_EQ(trail()->spacing_x1, INT32_MIN);
  EXPECT_EQ(trail()->y1, 24);
  EXPECT_EQ(trail()->vy1, -INT32_MAX);
  EXPECT_EQ(trail()->spacing_y1, -INT32_MAX);
  EXPECT_EQ(trail()->x2, 79);
  EXPECT_EQ(trail()->vx2, -INT32_MAX);
  EXPECT_EQ(trail()->y2, 0);
  EXPECT_EQ(trail()->vy2, INT32_MIN);
  trail_draw(trail());
}

TEST_F(Trail, TheFirstLineIsTheTrailItself) {
  set_trail({0, 0, 3, 1}, {0, 0, 0, 0}, {0, 0, 0, 0}, 1, '#');
  trail_draw(trail());
  EXPECT_EQ(canvas()->cells[0], '#');
  EXPECT_EQ(canvas()->cells[1], '#');
  EXPECT_EQ(canvas()->cells[80 + 2], '#');
  EXPECT_EQ(canvas()->cells[80 + 3], ' ');
}

}  // namespace
