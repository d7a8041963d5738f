// The levels of the pitched voices: the volume at which each sample's
// plain notes play (its own volume in the file), and the volumes of its
// accented and soft notes, on the tracker's scale of 0 to 64. Each drum's
// levels are in its row of the kit's table in kit.h.
#pragma once

#include <array>
#include <cstdint>

#include "tools/modcompose/src/instruments.h"

struct Level {
  uint8_t plain = 64;
  uint8_t accent = 64;
  uint8_t soft = 32;
};

struct VoiceLevel {
  Instrument instrument;
  Level level;
};

inline constexpr std::size_t pitched_count = sample_number(Instrument::first_drum) - 1;

// The descant sits well under the lead it sings above, so the climax keeps
// one lead; the chords' soft notes open sections quietly.
inline constexpr std::array<VoiceLevel, pitched_count> levels{{
    {Instrument::bass, {.plain = 56, .accent = 64, .soft = 28}},
    {Instrument::lead, {.plain = 29, .accent = 41, .soft = 20}},
    {Instrument::chords, {.plain = 34, .accent = 34, .soft = 18}},
    {Instrument::descant, {.plain = 22, .accent = 29, .soft = 11}},
}};

// Every pitched voice has its row, in sample order, so a voice added to
// the instruments without a level does not compile.
inline constexpr bool levels_in_sample_order = [] {
  for (std::size_t i = 0; i < levels.size(); ++i) {
    if (static_cast<std::size_t>(levels[i].instrument) != i + 1) return false;
  }
  return true;
}();
static_assert(levels_in_sample_order, "levels needs one row per pitched voice, in sample order");

constexpr Level level_of(Instrument instrument) {
  return levels[static_cast<std::size_t>(instrument) - 1].level;
}

// An echo replays the lead on the chord channel, this many percent as loud.
inline constexpr int32_t echo_percent = 40;
