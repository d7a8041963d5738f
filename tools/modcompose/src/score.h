// A song as the composer reads it: patterns written in the score notation
// (see notation.h) and the form that strings them into the order list.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

inline constexpr int32_t bars_per_pattern = 4;

// One text per bar; a pattern is four bars of 16 rows.
using Bars = std::array<std::string_view, bars_per_pattern>;

// What a pattern's chord channel plays, as its score asks: the chords
// alone; or, when echo_rows is above 0, an echo of the lead that many rows
// later and quieter, with chords and descant left empty; or, when a
// descant is written, the chords and the descant by turns, a descant note
// taking the channel and the next chord taking it back. The descant is the
// lead's sound, an octave above the names it reads.
enum class ChordChannel { chords, echo, descant };

// Four bars of all four voices, each on a channel of its own but for the
// chords, the descant and the echo, which share one as ChordChannel says.
struct PatternScore {
  std::string_view name;
  Bars chords{};
  Bars descant{};
  Bars lead;
  Bars bass;
  Bars drums;
  int32_t echo_rows = 0;
};

// A part of the form: the patterns it plays, in order.
struct Section {
  std::string_view name;
  std::vector<std::reference_wrapper<const PatternScore>> patterns;
};

struct Song {
  std::string_view title;  // at most 20 characters
  int32_t ticks_per_row = 6;
  int32_t beats_per_minute = 125;  // tracker tempo: a tick lasts 2.5 / this seconds
  std::vector<Section> form;
};

// The song of the intro, written in score.cpp.
const Song& blumot_song();
