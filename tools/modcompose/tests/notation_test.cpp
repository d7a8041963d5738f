#include "tools/modcompose/src/notation.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tools/modcompose/src/kit.h"

namespace {

constexpr const char* sixteen_holds = ". . . . . . . . . . . . . . . .";

TEST(Notation, BarsHaveSixteenStepsAndBarLinesAreSkipped) {
  const auto steps = split_bar("| A-2 . . . | C-3 . . . | E-3 . . . | ^ . . . |");
  ASSERT_EQ(steps.size(), 16u);
  EXPECT_EQ(steps[0], "A-2");
  EXPECT_EQ(steps[12], "^");
  EXPECT_EQ(split_bar("").size(), 16u) << "an empty bar holds";
  EXPECT_EQ(split_bar("").front(), ".");
  EXPECT_THROW(split_bar(". . . . . . . . . . . . . . ."), std::invalid_argument) << "15 steps";
  EXPECT_THROW(split_bar(". . . . . . . . . . . . . . . . ."), std::invalid_argument) << "17 steps";
}

TEST(Notation, MelodySteps) {
  const auto steps = parse_melody_bar("C-2 . ^ ~ > G#3 . . . . . . . . . .");
  EXPECT_EQ(steps[0].mark, Mark::note);
  EXPECT_EQ(steps[0].note, parse_note("C-2"));
  EXPECT_EQ(steps[1].mark, Mark::hold);
  EXPECT_EQ(steps[2].mark, Mark::release);
  EXPECT_EQ(steps[3].mark, Mark::vibrato);
  EXPECT_EQ(steps[4].mark, Mark::fade);
  EXPECT_EQ(steps[5].note, parse_note("G#3"));
  const auto marks = parse_melody_bar("w / v < x C-2! C-2, C-2* C-2' C-2_ . . . . . .");
  const std::vector<Mark> expected{Mark::tremolo, Mark::slide_up, Mark::slide_down, Mark::swell,
                                   Mark::cut};
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(marks[i].mark, expected[i]) << i;
  const std::vector<Touch> touches{Touch::accent, Touch::soft, Touch::glide, Touch::late,
                                   Touch::dark};
  for (std::size_t i = 0; i < touches.size(); ++i) {
    EXPECT_EQ(marks[5 + i].note, parse_note("C-2"));
    EXPECT_EQ(marks[5 + i].touch, touches[i]) << i;
  }
  EXPECT_THROW(parse_melody_bar("C-4 . . . . . . . . . . . . . . ."), std::invalid_argument);
  EXPECT_THROW(parse_melody_bar("C-2? . . . . . . . . . . . . . . ."), std::invalid_argument);
  EXPECT_THROW(parse_melody_bar("Am . . . . . . . . . . . . . . ."), std::invalid_argument);
}

TEST(Notation, ChordRootsSitBetweenGAndFSharp) {
  EXPECT_EQ(parse_chord("G").root, parse_note("G-1"));
  EXPECT_EQ(parse_chord("Am").root, parse_note("A-1"));
  EXPECT_EQ(parse_chord("C").root, parse_note("C-2"));
  EXPECT_EQ(parse_chord("F#m").root, parse_note("F#2"));
  EXPECT_EQ(parse_chord("Bb").root, parse_note("A#1"));
  EXPECT_EQ(parse_chord("Gb").root, parse_note("F#2"));
}

TEST(Notation, ChordKindsGiveTheArpeggioIntervals) {
  EXPECT_EQ(parse_chord("C").arpeggio, 0x47);
  EXPECT_EQ(parse_chord("Am").arpeggio, 0x37);
  EXPECT_EQ(parse_chord("E7").arpeggio, 0x4A);
  EXPECT_EQ(parse_chord("Dm7").arpeggio, 0x3A);
  EXPECT_EQ(parse_chord("Dsus2").arpeggio, 0x27);
  EXPECT_EQ(parse_chord("Esus4").arpeggio, 0x57);
  for (const char* bad : {"", "H", "am", "Amaj7", "A#m#", "C-2"}) {
    EXPECT_THROW(parse_chord(bad), std::invalid_argument) << bad;
  }
}

TEST(Notation, ChordSteps) {
  const auto steps = parse_chord_bar("Am . ^ > Dm, . . . . . . . . . . .");
  EXPECT_EQ(steps[4].touch, Touch::soft);
  EXPECT_EQ(steps[4].chord.root, parse_note("D-2"));
  EXPECT_EQ(steps[0].mark, Mark::chord);
  EXPECT_EQ(steps[1].mark, Mark::hold);
  EXPECT_EQ(steps[2].mark, Mark::release);
  EXPECT_EQ(steps[3].mark, Mark::fade);
  EXPECT_THROW(parse_chord_bar("X . . . . . . . . . . . . . . ."), std::invalid_argument)
      << "the crash is a drum";
  EXPECT_THROW(parse_chord_bar("Am ~ . . . . . . . . . . . . . ."), std::invalid_argument);
  EXPECT_EQ(parse_chord_bar(sixteen_holds).size(), 16u);
}

TEST(Notation, DrumStepsNameTheKitsDrums) {
  const auto steps = parse_drum_bar("K s . X m . . . . . . . . . . .");
  EXPECT_EQ(steps[0].drum->name, "kick");
  EXPECT_EQ(steps[0].touch, Touch::plain);
  EXPECT_EQ(steps[1].drum->name, "snare");
  EXPECT_EQ(steps[1].touch, Touch::soft);
  EXPECT_EQ(steps[2].drum, nullptr);
  EXPECT_EQ(steps[3].drum->name, "crash");
  EXPECT_EQ(steps[4].drum->name, "high tom");
  EXPECT_EQ(steps[4].down, major_third);
  EXPECT_THROW(parse_drum_bar("k . . . . . . . . . . . . . . ."), std::invalid_argument);
  EXPECT_THROW(parse_drum_bar("C-3 . . . . . . . . . . . . . . ."), std::invalid_argument);
}

}  // namespace