#include "intro/frame_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "intro/variant.h"
#include "tests/support/memory_stream.h"
#include "tests/support/test_canvas.h"

namespace {

// What the pause saw: its period, how many frames had been presented, and
// where the orbit stood (it moves first in the advance).
struct Pause {
  int32_t period;
  int32_t frames;
  int32_t orbit_x;
};
std::vector<Pause> pauses;
const Scene* watched_scene = nullptr;
const Canvas* watched_canvas = nullptr;

void record(int32_t period) {
  pauses.push_back({period, watched_canvas->frames, watched_scene->orbit.x_position});
}

class FramePass : public ::testing::Test {
 protected:
  FramePass() : canvas_(canvas_create()) {
    canvas_resize(canvas_.get(), 30, 12);
    std::srand(42);
    scene_ = scene_build(canvas_.get(), silent_variant.logo);
    watched_scene = &scene_;
    watched_canvas = canvas_.get();
    pauses.clear();
  }

  OwnedCanvas canvas_;
  Scene scene_;
};

TEST_F(FramePass, WritesOneWholeFrameAndAdvancesAfterIt) {
  MemoryStream out;
  frame_pass(canvas_.get(), scene_, out.stream(), silent_variant, 0);
  const std::string frame = out.text();
  EXPECT_EQ(frame.size(), 30u * 12u);
  EXPECT_EQ(std::count(frame.begin(), frame.end(), '\n'), 12);
  EXPECT_EQ(canvas_->frames, 1);
  EXPECT_EQ(scene_.orbit.x_position, 1);
}

TEST_F(FramePass, ThePauseComesBetweenPresentAndAdvance) {
  IntroVariant variant = silent_variant;
  variant.pause = record;
  MemoryStream out;
  frame_pass(canvas_.get(), scene_, out.stream(), variant, 40000);
  frame_pass(canvas_.get(), scene_, out.stream(), variant, 40000);
  ASSERT_EQ(pauses.size(), 2u);
  EXPECT_EQ(pauses[0].period, 40000);
  EXPECT_EQ(pauses[0].frames, 1);
  EXPECT_EQ(pauses[0].orbit_x, 0);  // not yet advanced
  EXPECT_EQ(pauses[1].frames, 2);
  EXPECT_EQ(pauses[1].orbit_x, 1);
}

}  // namespace
