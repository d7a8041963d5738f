#include "tools/modcompose/src/pitch.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(Pitch, PeriodsAreTheStandardTable) {
  EXPECT_EQ(period_of(parse_note("C-1")), 856);
  EXPECT_EQ(period_of(parse_note("A-1")), 508);
  EXPECT_EQ(period_of(parse_note("C-2")), 428);
  EXPECT_EQ(period_of(parse_note("G#2")), 269);
  EXPECT_EQ(period_of(parse_note("C-3")), 214);
  EXPECT_EQ(period_of(parse_note("B-3")), 113);
}

TEST(Pitch, PeriodsFallBySemitonesAndHalveByOctaves) {
  for (int32_t i = 1; i < note_count; ++i) {
    const double ratio = static_cast<double>(period_of(Note{i - 1})) / period_of(Note{i});
    EXPECT_NEAR(ratio, 1.0595, 0.006) << note_name(Note{i});
  }
  for (int32_t i = 0; i + notes_per_octave < note_count; ++i) {
    EXPECT_NEAR(period_of(Note{i}), 2 * period_of(Note{i + notes_per_octave}), 1)
        << note_name(Note{i});
  }
}

TEST(Pitch, NamesReadBackToTheSameNote) {
  for (int32_t i = 0; i < note_count; ++i) {
    EXPECT_EQ(parse_note(note_name(Note{i})), Note{i});
  }
  EXPECT_EQ(pitch_class(parse_note("A-2")), 9);
}

TEST(Pitch, RejectsWhatNoTrackerWrites) {
  for (const char* name : {"", "H-2", "C-4", "C-0", "c-2", "C2", "E#1", "Db2", "C--2", "C-22"}) {
    EXPECT_THROW(parse_note(name), std::invalid_argument) << name;
  }
  EXPECT_THROW(period_of(Note{36}), std::out_of_range);
  EXPECT_THROW(period_of(Note{-1}), std::out_of_range);
}

TEST(Pitch, PlaybackRateOfMiddleC) {
  // The Amiga plays C-2 at about 8287 bytes per second.
  EXPECT_NEAR(playback_rate_of(parse_note("C-2")), 8287.1, 0.1);
}

}  // namespace