#include "tools/modcompose/src/arrange.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "tools/modcompose/src/instruments.h"
#include "tools/modcompose/src/kit.h"
#include "tools/modcompose/src/levels.h"
#include "tools/modcompose/src/pitch.h"

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
  return Song{
      .title = "test", .ticks_per_row = 6, .beats_per_minute = 125, .form = {{"all", {pattern}}}};
}

const Cell& cell(const Module& module, int32_t row, int32_t channel) {
  return module.patterns[0].rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(channel)];
}

TEST(Arrangement, MelodyMarksBecomeNotesAndEffects) {
  PatternScore pattern = quiet_pattern("p");
  pattern.lead[0] = "A-2 . ~ > ^ w / v < x A-2! A-2, A-2* A-2' . .";
  pattern.bass[1] = "C-1 C-1_ . . . . . . . . . . . . . .";
  const Module module = arrange(one_pattern_song(pattern));
  const std::vector<Cell> lead{
      {2, 254, 0, 0},
      {},
      {0, 0, effect_vibrato, lead_style.vibrato},
      {0, 0, effect_volume_slide, fade_param},
      {0, 0, effect_volume_slide, release_param},
      {0, 0, effect_tremolo, lead_style.tremolo},
      {0, 0, effect_slide_up, lead_style.slide},
      {0, 0, effect_slide_down, lead_style.slide},
      {0, 0, effect_volume_slide, swell_param},
      {0, 0, effect_extended, static_cast<uint8_t>(extended_note_cut << 4 | cut_ticks)},
      {2, 254, effect_set_volume, level_of(Instrument::lead).accent},
      {2, 254, effect_set_volume, level_of(Instrument::lead).soft},
      {0, 254, effect_portamento, lead_style.glide},
      {2, 254, effect_extended, static_cast<uint8_t>(extended_note_delay << 4 | lead_style.late)},
  };
  for (std::size_t row = 0; row < lead.size(); ++row)
    EXPECT_EQ(cell(module, static_cast<int32_t>(row), lead_channel), lead[row]) << row;
  EXPECT_EQ(cell(module, 16, bass_channel), (Cell{1, 856, 0, 0}));
  EXPECT_EQ(cell(module, 17, bass_channel),
            (Cell{1, 856, effect_sample_offset, bass_style.dark_offset}));
}

TEST(Arrangement, EchoReplaysTheLeadLaterAndQuieter) {
  PatternScore pattern = quiet_pattern("p");
  pattern.chords[0] = "";
  pattern.echo_rows = 3;
  pattern.lead[0] = "A-2 ~ ^ C-3! . . . . . . . . . . . .";
  const Module module = arrange(one_pattern_song(pattern));
  EXPECT_EQ(cell(module, 0, chord_channel), Cell{});
  EXPECT_EQ(cell(module, 3, chord_channel),
            (Cell{2, 254, effect_set_volume,
                  static_cast<uint8_t>(level_of(Instrument::lead).plain * echo_percent / 100)}));
  EXPECT_EQ(cell(module, 4, chord_channel), (Cell{0, 0, effect_vibrato, lead_style.vibrato}));
  EXPECT_EQ(cell(module, 5, chord_channel), (Cell{0, 0, effect_volume_slide, release_param}));
  EXPECT_EQ(cell(module, 6, chord_channel),
            (Cell{2, 214, effect_set_volume,
                  static_cast<uint8_t>(level_of(Instrument::lead).accent * echo_percent / 100)}));
  pattern.chords[0] = "Am . . . . . . . . . . . . . . .";
  EXPECT_THROW((void)arrange(one_pattern_song(pattern)), std::invalid_argument)
      << "chords and echo on one channel";
}

TEST(Arrangement, HeldChordsKeepArpeggiatingUntilReleased) {
  PatternScore pattern = quiet_pattern("p");
  pattern.chords[0] = "Am . . ^ . E7 . > . Dm, . . . . . .";
  const Module module = arrange(one_pattern_song(pattern));
  EXPECT_EQ(cell(module, 0, chord_channel), (Cell{3, 508, effect_arpeggio, 0x37}));
  EXPECT_EQ(cell(module, 1, chord_channel), (Cell{0, 0, effect_arpeggio, 0x37}));
  EXPECT_EQ(cell(module, 2, chord_channel), (Cell{0, 0, effect_arpeggio, 0x37}));
  EXPECT_EQ(cell(module, 3, chord_channel), (Cell{0, 0, effect_volume_slide, release_param}));
  EXPECT_EQ(cell(module, 4, chord_channel), Cell{}) << "nothing to hold after a release";
  EXPECT_EQ(cell(module, 5, chord_channel),
            (Cell{3, period_of(parse_note("E-2")), effect_arpeggio, 0x4A}));
  EXPECT_EQ(cell(module, 7, chord_channel), (Cell{0, 0, effect_volume_slide, fade_param}));
  EXPECT_EQ(cell(module, 8, chord_channel), Cell{}) << "a faded chord no longer arpeggiates";
  EXPECT_EQ(
      cell(module, 9, chord_channel),
      (Cell{3, period_of(parse_note("D-2")), effect_set_volume, level_of(Instrument::chords).soft}))
      << "a soft chord spends its first row on its volume";
  EXPECT_EQ(cell(module, 10, chord_channel), (Cell{0, 0, effect_arpeggio, 0x37}));
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
  pattern.drums[0] = ". K S s h o H d r R C X t m T .";
  const Module module = arrange(one_pattern_song(pattern));
  const uint16_t drum = period_of(drum_note());
  const uint16_t middle_tom = period_of(Note{drum_note().index - major_third});
  const std::vector<Cell> drums{
      {},  // row 0 carries speed and tempo
      {5, drum, 0, 0},
      {6, drum, 0, 0},
      {6, drum, effect_set_volume, kit_drum("snare").level.soft},
      {7, drum, 0, 0},
      {8, drum, 0, 0},
      {7, drum, effect_set_volume, kit_drum("hi-hat").level.accent},
      {6, drum, effect_extended, static_cast<uint8_t>(extended_note_delay << 4 | drum_style.late)},
      {6, drum, effect_extended, extended_retrigger << 4 | 3},
      {6, drum, effect_extended, extended_retrigger << 4 | 2},
      {12, drum, 0, 0},
      {9, drum, 0, 0},
      {10, drum, 0, 0},
      {10, middle_tom, 0, 0},
      {11, drum, 0, 0},
  };
  for (std::size_t row = 1; row < drums.size(); ++row)
    EXPECT_EQ(cell(module, static_cast<int32_t>(row), drum_channel), drums[row]) << row;
}

TEST(Arrangement, ChordsAndDescantShareTheChordChannel) {
  PatternScore pattern = quiet_pattern("p");
  pattern.chords[0] = "Am . . . . . . . . . . . Dm . . .";
  pattern.descant[0] = ". . . . A-2 . ^ C-3! . . . . . . . .";
  const Module module = arrange(one_pattern_song(pattern));
  EXPECT_EQ(cell(module, 1, chord_channel), (Cell{0, 0, effect_arpeggio, 0x37}));
  EXPECT_EQ(cell(module, 4, chord_channel), (Cell{4, 254, 0, 0})) << "the descant takes over";
  EXPECT_EQ(cell(module, 5, chord_channel), Cell{}) << "no arpeggio bends the descant";
  EXPECT_EQ(cell(module, 6, chord_channel), (Cell{0, 0, effect_volume_slide, release_param}));
  EXPECT_EQ(cell(module, 7, chord_channel),
            (Cell{4, 214, effect_set_volume, level_of(Instrument::descant).accent}));
  EXPECT_EQ(cell(module, 8, chord_channel), Cell{});
  EXPECT_EQ(cell(module, 12, chord_channel),
            (Cell{3, period_of(parse_note("D-2")), effect_arpeggio, 0x37}))
      << "the next chord takes the channel back";
  EXPECT_EQ(cell(module, 13, chord_channel), (Cell{0, 0, effect_arpeggio, 0x37}));
  pattern.echo_rows = 3;
  EXPECT_THROW((void)arrange(one_pattern_song(pattern)), std::invalid_argument)
      << "an echo beside the chords and the descant";
}

TEST(Arrangement, SpeedAndTempoOpenTheFirstPositionPlayed) {
  const PatternScore a = quiet_pattern("a");
  const PatternScore b = quiet_pattern("b");
  Song song = one_pattern_song(a);
  song.form = {{"only", {b, a}}};
  song.ticks_per_row = 5;
  song.beats_per_minute = 140;
  const Module module = arrange(song);
  int32_t speed = 0;
  int32_t tempo = 0;
  for (const Cell& c : module.patterns[module.order[0]].rows[0]) {
    if (c.effect == effect_set_speed) (c.param < 32 ? speed : tempo) = c.param;
  }
  EXPECT_EQ(speed, 5);
  EXPECT_EQ(tempo, 140);
  for (const Cell& c : module.patterns[module.order[1]].rows[0]) {
    EXPECT_NE(c.effect, effect_set_speed);
  }
}

TEST(Arrangement, OrderListFollowsTheForm) {
  const PatternScore a = quiet_pattern("a");
  const PatternScore b = quiet_pattern("b");
  Song song = one_pattern_song(a);
  song.form = {{"one", {a, b}}, {"two", {b}}, {"three", {a}}};
  EXPECT_EQ(order_list(song), (std::vector<uint8_t>{0, 1, 1, 0}));
  EXPECT_DOUBLE_EQ(song_seconds(song), 4 * 64 * 6 * 2.5 / 125);
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