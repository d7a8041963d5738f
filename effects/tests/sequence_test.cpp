#include "effects/sequence.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

namespace {

const int32_t five[5] = {10, 11, 12, 13, 14};

std::vector<int32_t> positions_after_steps(int32_t step, int count) {
  std::unique_ptr<CyclicSequence> s(sequence_create());
  sequence_init(s.get(), five, 4, 5, step);
  std::vector<int32_t> seen;
  for (int i = 0; i < count; ++i) {
    sequence_step(s.get());
    seen.push_back(s->position);
  }
  return seen;
}

TEST(Sequence, AnUnboundSequenceReadsZeroForEver) {
  std::unique_ptr<CyclicSequence> s(sequence_create());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(sequence_current_int(s.get()), 0);
    EXPECT_EQ(s->position, 0);
    sequence_step(s.get());
  }
}

TEST(Sequence, StepsWrapAtBothEnds) {
  EXPECT_EQ(positions_after_steps(1, 6), (std::vector<int32_t>{1, 2, 3, 4, 0, 1}));
  EXPECT_EQ(positions_after_steps(-1, 6), (std::vector<int32_t>{4, 3, 2, 1, 0, 4}));
  EXPECT_EQ(positions_after_steps(12, 1), (std::vector<int32_t>{2}));
  EXPECT_EQ(positions_after_steps(-12, 1), (std::vector<int32_t>{3}));
  EXPECT_EQ(positions_after_steps(0, 3), (std::vector<int32_t>{0, 0, 0}));
}

TEST(Sequence, ExtremeStepsNeitherOverflowNorStall) {
  EXPECT_EQ(positions_after_steps(INT32_MAX, 2), (std::vector<int32_t>{2, 4}));
  EXPECT_EQ(positions_after_steps(INT32_MIN, 2), (std::vector<int32_t>{2, 4}));
  std::unique_ptr<CyclicSequence> s(sequence_create());
  sequence_init(s.get(), five, 4, 1, INT32_MAX);
  sequence_step(s.get());
  EXPECT_EQ(s->position, 0);
}

TEST(Sequence, InitGoesBackToTheFirstElement) {
  std::unique_ptr<CyclicSequence> s(sequence_create());
  sequence_init(s.get(), five, 4, 5, 1);
  for (int i = 0; i < 3; ++i) sequence_step(s.get());
  EXPECT_EQ(sequence_current_int(s.get()), 13);
  sequence_init(s.get(), five, 4, 5, 1);
  EXPECT_EQ(s->position, 0);
  EXPECT_EQ(sequence_current_int(s.get()), 10);
}

TEST(Sequence, ACharacterSequenceVisitsEveryCharacterOncePerRound) {
  const char text[] = "A waved scroll's default text. ";
  std::unique_ptr<CyclicSequence> s(sequence_create());
  sequence_init(s.get(), text, 1, 31, 1);
  std::string round;
  for (int i = 0; i < 31; ++i) {
    round += sequence_current_char(s.get());
    sequence_step(s.get());
  }
  EXPECT_EQ(round, text);
  EXPECT_EQ(sequence_current_char(s.get()), 'A');
}

}  // namespace
