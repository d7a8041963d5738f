// A song as the composer reads it: patterns written in the score notation
// (see notation.h) and the form that strings them into the order list.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

inline constexpr int32_t bars_per_pattern = 4;

// One text per bar; a pattern is four bars of 16 rows.
using Bars = std::array<std::string_view, bars_per_pattern>;

// Four bars of all four voices. Each voice has a channel of its own.
struct PatternScore {
  std::string_view name;
  Bars chords{};
  // When written, the chord channel plays this second melody by turns
  // with the chords: the lead's sound, an octave above the names it reads.
  // A descant note takes the channel; the next chord takes it back.
  Bars descant{};
  Bars lead;
  Bars bass;
  Bars drums;
  // When above 0, the chord channel plays an echo of the lead this many
  // rows later instead of the chords, which must then be empty.
  int32_t echo_rows = 0;
};

// A part of the form, naming the patterns it plays in order.
struct Section {
  std::string_view name;
  std::vector<std::string_view> patterns;
};

struct Song {
  std::string_view title;  // at most 20 characters
  int32_t ticks_per_row = 6;
  int32_t beats_per_minute = 125;  // tracker tempo: a tick lasts 2.5 / this seconds
  std::vector<PatternScore> patterns;
  std::vector<Section> form;
};

// The song of the intro, written in score.cpp.
const Song& blumot_song();
