// The drum kit, in one table: each drum's name (its line in the piano
// roll too), the maker of its sample, its levels, and the notation's
// tokens that strike it, each with its touch. The drums' sample numbers,
// their count, the samples made and their volumes all follow from the
// table, so a drum is one row here, and its maker if it is a new sound.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "tools/modcompose/src/instruments.h"
#include "tools/modcompose/src/levels.h"
#include "tools/modcompose/src/notation.h"
#include "tools/modcompose/src/protracker.h"

// A token of the drum notation: the touch it strikes its drum with, and
// how many semitones below the drum's note it plays the sample.
struct DrumToken {
  char token = 0;  // 0: no token in this slot
  Touch touch = Touch::plain;
  int32_t down = 0;
};

// The high tom a major third down is the middle tom.
inline constexpr int32_t major_third = 4;

struct KitDrum {
  std::string_view name;
  Sample (*make)();
  Level level;
  std::array<DrumToken, 5> tokens;
};

// The makers of the drums' samples, in instruments.cpp.
Sample make_kick();
Sample make_snare();
Sample make_hihat();
Sample make_open_hihat();
Sample make_crash();
Sample make_high_tom();
Sample make_low_tom();
Sample make_clap();

// A ghost snare is a touch, an accented hi-hat marks the offbeats.
inline constexpr KitDrum kit[] = {
    {"kick", make_kick, {.plain = 64, .accent = 64, .soft = 64}, {{{'K'}}}},
    {"snare",
     make_snare,
     {.plain = 64, .accent = 64, .soft = 24},
     {{{'S'},
       {'s', Touch::soft},
       {'d', Touch::late},
       {'r', Touch::roll},
       {'R', Touch::fast_roll}}}},
    {"hi-hat",
     make_hihat,
     {.plain = 40, .accent = 56, .soft = 40},
     {{{'h'}, {'H', Touch::accent}}}},
    {"open hat", make_open_hihat, {.plain = 34, .accent = 34, .soft = 34}, {{{'o'}}}},
    {"crash", make_crash, {.plain = 64, .accent = 64, .soft = 64}, {{{'X'}}}},
    {"high tom",
     make_high_tom,
     {.plain = 56, .accent = 56, .soft = 56},
     {{{'t'}, {'m', Touch::plain, major_third}}}},
    {"low tom", make_low_tom, {.plain = 56, .accent = 56, .soft = 56}, {{{'T'}}}},
    {"clap", make_clap, {.plain = 64, .accent = 64, .soft = 64}, {{{'C'}}}},
};

inline constexpr std::size_t instrument_count = pitched_count + std::size(kit);
static_assert(instrument_count <= max_samples, "a module holds at most 31 samples");

// A drum's sample number: the kit's rows follow the pitched voices.
constexpr uint8_t sample_number(const KitDrum& drum) {
  return static_cast<uint8_t>(sample_number(Instrument::first_drum) + (&drum - kit));
}

// The kit's row for a drum by its name; a name the kit lacks does not
// compile.
consteval const KitDrum& kit_drum(std::string_view name) {
  for (const KitDrum& drum : kit) {
    if (drum.name == name) return drum;
  }
  throw "no drum of that name in the kit";
}

// No two slots share a token, and none is the notation's hold, or a
// token would strike one drum where the score means another.
inline constexpr bool kit_tokens_distinct = [] {
  std::array<bool, 128> used{};
  used['.'] = true;
  for (const KitDrum& drum : kit) {
    for (const DrumToken& slot : drum.tokens) {
      if (slot.token == 0) continue;
      if (used[static_cast<std::size_t>(slot.token)]) return false;
      used[static_cast<std::size_t>(slot.token)] = true;
    }
  }
  return true;
}();
static_assert(kit_tokens_distinct, "each kit token must be distinct and not the hold");

// The drum a token strikes and how; a DrumStep without a drum for a
// token that names none.
DrumStep drum_of_token(std::string_view token);
