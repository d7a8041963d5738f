#include "arrange.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "instruments.h"
#include "pitch.h"

namespace {

constexpr const char* rest = "";

PatternScore quiet_pattern(std::string_view name) {
  return PatternScore{.name = name,
                      .chords = {"^ . . . . . . . . . . . . . . .", rest, rest, rest},
                      .lead = {rest, rest, rest, rest},
                      .bass = {rest, rest, rest, rest},
                      .drums = {rest, rest, rest, rest}};
}

Song one_pattern_song(const PatternScore& pattern) {
  return Song{.title = "test",
              .ticks_per_row = 6,
              .beats_per_minute = 125,
              .patterns = {pattern},
              .form = {{"all", {pattern.name}}}};
}

const Cell& cell(const Module& module, int32_t row, int32_t channel) {
  return module.patterns[0].rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(channel)];
}

TEST(Arrangement, MelodyMarksBecomeNotesAndEffects) {
  PatternScore pattern = quiet_pattern("p");
  pattern.lead[0] = "A-2 . ~ > ^ . . . . . . . . . . .";
  pattern.bass[1] = "C-1 . . . . . . . . . . . . . . .";
  const Module module = arrange(one_pattern_song(pattern));
  EXPECT_EQ(cell(module, 0, lead_channel), (Cell{2, 254, 0, 0}));
  EXPECT_EQ(cell(module, 1, lead_channel), Cell{});
  EXPECT_EQ(cell(module, 2, lead_channel), (Cell{0, 0, effect_vibrato, vibrato_param}));
  EXPECT_EQ(cell(module, 3, lead_channel), (Cell{0, 0, effect_volume_slide, fade_param}));
  EXPECT_EQ(cell(module, 4, lead_channel), (Cell{0, 0, effect_set_volume, 0}));
  EXPECT_EQ(cell(module, 16, bass_channel), (Cell{1, 856, 0, 0}));
}

TEST(Arrangement, HeldChordsKeepArpeggiatingUntilReleased) {
  PatternScore pattern = quiet_pattern("p");
  pattern.chords[0] = "Am . . ^ . E7 . > . . . . . . . .";
  const Module module = arrange(one_pattern_song(pattern));
  EXPECT_EQ(cell(module, 0, chord_channel), (Cell{3, 508, effect_arpeggio, 0x37}));
  EXPECT_EQ(cell(module, 1, chord_channel), (Cell{0, 0, effect_arpeggio, 0x37}));
  EXPECT_EQ(cell(module, 2, chord_channel), (Cell{0, 0, effect_arpeggio, 0x37}));
  EXPECT_EQ(cell(module, 3, chord_channel), (Cell{0, 0, effect_set_volume, 0}));
  EXPECT_EQ(cell(module, 4, chord_channel), Cell{}) << "nothing to hold after a release";
  EXPECT_EQ(cell(module, 5, chord_channel),
            (Cell{3, period_of(parse_note("E-2")), effect_arpeggio, 0x4A}));
  EXPECT_EQ(cell(module, 7, chord_channel), (Cell{0, 0, effect_volume_slide, fade_param}));
  EXPECT_EQ(cell(module, 8, chord_channel), Cell{}) << "a faded chord no longer arpeggiates";
}

TEST(Arrangement, ChordsMustBeNamedBeforeTheyAreHeld) {
  PatternScore pattern = quiet_pattern("unnamed chords");
  pattern.chords[0] = rest;
  try {
    (void)arrange(one_pattern_song(pattern));
    FAIL() << "a pattern holding an unnamed chord was accepted";
  } catch (const std::invalid_argument& error) {
    EXPECT_NE(std::string(error.what()).find("unnamed chords"), std::string::npos) << error.what();
  }
}

TEST(Arrangement, DrumsPlayAtTheirOwnNotes) {
  PatternScore pattern = quiet_pattern("p");
  pattern.drums[0] = ". K S s h o . . . . . . . . . .";
  const Module module = arrange(one_pattern_song(pattern));
  EXPECT_EQ(cell(module, 1, drum_channel), (Cell{4, 214, 0, 0}));
  EXPECT_EQ(cell(module, 2, drum_channel), (Cell{5, 214, 0, 0}));
  EXPECT_EQ(cell(module, 3, drum_channel), (Cell{5, 214, effect_set_volume, ghost_snare_volume}));
  EXPECT_EQ(cell(module, 4, drum_channel),
            (Cell{6, period_of(drum_note(Instrument::hihat)), 0, 0}));
  EXPECT_EQ(cell(module, 5, drum_channel),
            (Cell{7, period_of(drum_note(Instrument::open_hihat)), 0, 0}));
}

TEST(Arrangement, SpeedAndTempoOpenTheFirstPositionPlayed) {
  Song song = one_pattern_song(quiet_pattern("a"));
  song.patterns.push_back(quiet_pattern("b"));
  song.form = {{"only", {"b", "a"}}};
  song.ticks_per_row = 5;
  song.beats_per_minute = 140;
  const Module module = arrange(song);
  int32_t speed = 0;
  int32_t tempo = 0;
  for (const Cell& c : module.patterns[1].rows[0]) {
    if (c.effect == effect_set_speed) (c.param < 32 ? speed : tempo) = c.param;
  }
  EXPECT_EQ(speed, 5);
  EXPECT_EQ(tempo, 140);
  for (const Cell& c : module.patterns[0].rows[0]) EXPECT_NE(c.effect, effect_set_speed);
}

TEST(Arrangement, OrderListFollowsTheForm) {
  Song song = one_pattern_song(quiet_pattern("a"));
  song.patterns.push_back(quiet_pattern("b"));
  song.form = {{"one", {"a", "b"}}, {"two", {"b"}}, {"three", {"a"}}};
  EXPECT_EQ(order_list(song), (std::vector<uint8_t>{0, 1, 1, 0}));
  EXPECT_DOUBLE_EQ(song_seconds(song), 4 * 64 * 6 * 2.5 / 125);

  song.form = {{"one", {"a", "c"}}};
  EXPECT_THROW(order_list(song), std::invalid_argument) << "unknown pattern";
  song.form = {{"one", {"a"}}};
  EXPECT_THROW(order_list(song), std::invalid_argument) << "pattern b never played";
}

TEST(Arrangement, ErrorsNameTheirPattern) {
  PatternScore pattern = quiet_pattern("broken bar");
  pattern.lead[2] = "A-2 . .";
  try {
    (void)arrange(one_pattern_song(pattern));
    FAIL() << "a short bar was accepted";
  } catch (const std::invalid_argument& error) {
    EXPECT_NE(std::string(error.what()).find("broken bar"), std::string::npos) << error.what();
  }
}

}  // namespace