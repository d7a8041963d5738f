// The frame loop of intro-silent makes no heap allocation: a thousand
// passes, pause included, at the smallest and the largest screen of the
// benchmarks, counted from the very first pass.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "intro/frame_loop.h"
#include "intro/scene.h"
#include "tests/quality/alloc_count.h"
#include "tests/support/loop_stage.h"

namespace {

// Hands the pointer to code the compiler cannot see, so that an allocation
// and its release are not optimised away as a pair.
template <typename T>
T* kept(T* pointer) {
  asm volatile("" : : "g"(pointer) : "memory");
  return pointer;
}

TEST(AllocationCount, SeesEveryWayOfAllocating) {
  // The count must see what the loop could do: new in any form, the C
  // library's allocation calls, and the allocations the C library makes
  // inside its own functions. The counts are read before any check, whose
  // messages allocate.
  int64_t counts[6];
  {
    AllocationScope scope;
    delete kept(new int(1));
    delete[] kept(new char[3]);
    std::free(kept(std::malloc(5)));
    std::free(kept(std::calloc(2, 4)));
    std::free(kept(std::realloc(nullptr, 8)));
    std::free(kept(strdup("abc")));
    counts[0] = scope.count();
    std::string text(kept("a text too long to be kept inside the string itself"));
    counts[1] = scope.count();
    std::vector<int> numbers(10);
    kept(numbers.data());
    counts[2] = scope.count();
    delete kept(new (std::align_val_t{64}) int(2));
    counts[3] = scope.count();
    FILE* file = std::fopen("/dev/null", "w");
    counts[4] = scope.count();
    if (file != nullptr) std::fclose(file);
    counts[5] = scope.count();
  }
  EXPECT_EQ(counts[0], 6);
  EXPECT_EQ(counts[1], 7);
  EXPECT_EQ(counts[2], 8);
  EXPECT_EQ(counts[3], 9);
  EXPECT_GE(counts[4], 10);
  EXPECT_EQ(counts[5], counts[4]);
}

TEST(AllocationCount, CountsOnlyWhileOn) {
  allocation_count_reset();
  delete kept(new int(1));
  EXPECT_EQ(allocation_count(), 0);
}

class SilentLoop : public ::testing::TestWithParam<std::pair<int32_t, int32_t>> {};

TEST_P(SilentLoop, AThousandPassesAllocateNothing) {
  const auto [width, height] = GetParam();
  LoopStage stage(width, height, silent_variant.logo);
  // A short real pause: the sleep is part of the pass.
  const int32_t period = 100;
  AllocationScope scope;
  for (int pass = 0; pass < 1000; ++pass) {
    frame_pass(stage.canvas.get(), stage.scene, stage.out.file, silent_variant, period);
  }
  EXPECT_EQ(scope.count(), 0);
  EXPECT_EQ(stage.canvas->frames, 1000);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SilentLoop,
                         ::testing::Values(std::pair{80, 25}, std::pair{320, 100}),
                         [](const auto& info) {
                           return std::to_string(info.param.first) + "x" +
                                  std::to_string(info.param.second);
                         });

}  // namespace
