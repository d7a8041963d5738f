#include "intro/scene.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>

#include "intro/scroll_text.h"
#include "intro/variant.h"
#include "tests/support/memory_stream.h"
#include "tests/support/test_canvas.h"

namespace {

class SceneTest : public ::testing::Test {
 protected:
  void build(int32_t width, int32_t height) {
    canvas_ = owned_canvas(width, height);
    std::srand(7);
    scene_ = scene_build(canvas_.get(), silent_variant.logo);
  }

  std::string row(int32_t r) const {
    std::string cells;
    for (int32_t c = 0; c < canvas_->width; ++c) {
      cells += static_cast<char>(canvas_->cells[r * canvas_->width + c]);
    }
    return cells;
  }

  OwnedCanvas canvas_;
  Scene scene_;
};

TEST_F(SceneTest, PlacesTheScrollersByTheScreenHeight) {
  for (const auto& [w, h, middle] :
       {std::tuple{80, 25, 18}, {80, 50, 37}, {40, 24, 18}, {80, 24, 18}, {1, 1, 0}}) {
    build(w, h);
    EXPECT_EQ(scene_.middle->y, middle);
    EXPECT_EQ(scene_.bottom->y, h - 1);
    EXPECT_EQ(scene_.middle->text->count, 1635);
  }
  EXPECT_EQ(scene_.first->echo_count, 0);  // 1 x 1
}

TEST_F(SceneTest, TrailsKeepTheirRandomStartAndMoveInMirrorImage) {
  std::srand(7);
  int draws[24];
  for (int& d : draws) d = std::rand();
  build(80, 25);
  EXPECT_EQ(scene_.first->x1, draws[0] % 80);
  EXPECT_EQ(scene_.second->y2, draws[15] % 25);
  const LineTrail& a = *scene_.first;
  const LineTrail& b = *scene_.second;
  EXPECT_EQ(a.ch, '+');
  EXPECT_EQ(b.ch, '.');
  EXPECT_EQ((std::array{a.vx1, a.vy1, a.vx2, a.vy2}), (std::array{1, -1, -1, 1}));
  EXPECT_EQ((std::array{b.vx1, b.vy1, b.vx2, b.vy2}), (std::array{-1, 1, 1, -1}));
  EXPECT_EQ((std::array{a.spacing_x1, a.spacing_y1, a.spacing_x2, a.spacing_y2}),
            (std::array{3, 2, 3, 2}));
  EXPECT_EQ((std::array{b.spacing_x1, b.spacing_y1, b.spacing_x2, b.spacing_y2}),
            (std::array{4, 3, 4, 3}));
}

TEST_F(SceneTest, TheBottomLineCarriesTheTextFlatAndHidesTheTrails) {
  build(80, 25);
  const std::string text = long_scroll_text;
  for (int f = 0; f < 300; ++f) {
    canvas_fill(canvas_.get(), ' ');
    scene_draw(scene_);
    // The text moves one character on after every third frame.
    ASSERT_EQ(row(24), text.substr(f / 3, 80)) << "frame " << f;
    MemoryStream sink;
    canvas_present(canvas_.get(), sink.stream());
    scene_advance(scene_);
  }
}

TEST_F(SceneTest, LogosLieOnTopOfEverything) {
  build(80, 25);
  canvas_fill(canvas_.get(), ' ');
  scene_draw(scene_);
  // The first copy stands at the orbit's centre in the first frame.
  EXPECT_EQ(row(10).substr(37, 5), "/~~~\\");
  EXPECT_EQ(row(11).substr(37, 5), "|ORX|");
  EXPECT_EQ(row(12).substr(37, 5), "\\___/");
}

TEST_F(SceneTest, SecondTrailDrawsOverTheFirst) {
  build(80, 25);
  // Lay both trails along the same row, clear of scrollers and logos.
  for (LineTrail* t : {scene_.first.get(), scene_.second.get()}) {
    t->x1 = 0, t->y1 = 2, t->x2 = 30, t->y2 = 2, t->echo_count = 1;
  }
  canvas_fill(canvas_.get(), ' ');
  scene_draw(scene_);
  EXPECT_EQ(row(2).substr(0, 30), std::string(30, '.'));
}

}  // namespace
