// Checks on the composed song itself: its form, length, key and voices.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <string>

#include "arrange.h"
#include "instruments.h"
#include "notation.h"
#include "pitch.h"
#include "score.h"

namespace {

TEST(Song, FormIsIntroThemeVariationReturnEnding) {
  const Song& song = blumot_song();
  std::vector<std::string_view> sections;
  for (const Section& section : song.form) sections.push_back(section.name);
  EXPECT_EQ(sections,
            (std::vector<std::string_view>{"intro", "theme", "variation", "return", "ending"}));
  EXPECT_EQ(song.form[3].patterns, song.form[1].patterns) << "the return plays the theme again";
  const auto& variation = song.form[2].patterns;
  for (const std::string_view name : song.form[1].patterns) {
    EXPECT_EQ(std::count(variation.begin(), variation.end(), name), 0)
        << "the variation is new material";
  }
}

TEST(Song, LastsBetweenOneAndTwoMinutes) {
  const double seconds = song_seconds(blumot_song());
  EXPECT_GE(seconds, 60.0);
  EXPECT_LE(seconds, 120.0);
}

TEST(Song, EndsByRunningOffItsLastPattern) {
  // No jump or break anywhere: the player plays the order list once and
  // stops after the last row.
  const Module module = arrange(blumot_song());
  for (const Pattern& pattern : module.patterns) {
    for (const Row& row : pattern.rows) {
      for (const Cell& cell : row) {
        EXPECT_NE(cell.effect, effect_position_jump);
        EXPECT_NE(cell.effect, effect_pattern_break);
      }
    }
  }
}

// A minor, with G# as the leading tone of its dominant E7.
const std::set<int32_t> a_minor{9, 11, 0, 2, 4, 5, 7, 8};

TEST(Song, MelodyAndBassStayInTheKey) {
  for (const PatternScore& pattern : blumot_song().patterns) {
    for (const Bars* voice : {&pattern.lead, &pattern.bass}) {
      for (const std::string_view bar : *voice) {
        for (const MelodyStep& step : parse_melody_bar(bar)) {
          if (step.mark != Mark::note) continue;
          EXPECT_TRUE(a_minor.contains(pitch_class(step.note)))
              << pattern.name << ": " << note_name(step.note) << " is outside A minor";
        }
      }
    }
  }
}

TEST(Song, ChordsAreBuiltOnTheKey) {
  for (const PatternScore& pattern : blumot_song().patterns) {
    for (const std::string_view bar : pattern.chords) {
      for (const ChordStep& step : parse_chord_bar(bar)) {
        if (step.mark != Mark::chord) continue;
        const int32_t root = pitch_class(step.chord.root);
        EXPECT_TRUE(a_minor.contains(root)) << pattern.name;
        EXPECT_TRUE(a_minor.contains((root + (step.chord.arpeggio >> 4)) % 12)) << pattern.name;
        EXPECT_TRUE(a_minor.contains((root + (step.chord.arpeggio & 0xF)) % 12)) << pattern.name;
      }
    }
  }
}

TEST(Song, EveryVoiceHasItsPart) {
  // Count the notes each channel starts over the whole song.
  const Module module = arrange(blumot_song());
  std::array<std::set<uint8_t>, channel_count> samples_per_channel;
  std::array<int32_t, channel_count> notes{};
  for (const uint8_t position : module.order) {
    for (const Row& row : module.patterns[position].rows) {
      for (std::size_t channel = 0; channel < row.size(); ++channel) {
        if (row[channel].period == 0) continue;
        ++notes[channel];
        samples_per_channel[channel].insert(row[channel].sample);
      }
    }
  }
  EXPECT_GT(notes[bass_channel], 100);
  EXPECT_GT(notes[lead_channel], 100);
  EXPECT_GT(notes[chord_channel], 40);
  EXPECT_GT(notes[drum_channel], 200);
  EXPECT_EQ(samples_per_channel[bass_channel],
            std::set<uint8_t>{static_cast<uint8_t>(Instrument::bass)});
  EXPECT_EQ(samples_per_channel[lead_channel],
            std::set<uint8_t>{static_cast<uint8_t>(Instrument::lead)});
  EXPECT_EQ(samples_per_channel[chord_channel],
            std::set<uint8_t>{static_cast<uint8_t>(Instrument::chords)});
  EXPECT_EQ(samples_per_channel[drum_channel].size(), 4u) << "kick, snare and both hi-hats";
}

}  // namespace