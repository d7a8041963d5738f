// The drum kit, in one table: each drum's sample, its line in the piano
// roll, and the notation's tokens that strike it, each with the way it
// strikes. The notation, the arrangement, the samples and the piano roll
// all read this table, so a drum is changed here alone; a new drum also
// names its sample in Instrument and its volumes in levels.h, and the
// build stops until the three agree.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "tools/modcompose/src/instruments.h"
#include "tools/modcompose/src/notation.h"

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
  Instrument instrument;
  std::string_view lane;
  Sample (*make)();
  std::array<DrumToken, 5> tokens;
};

inline constexpr std::array<KitDrum, drum_count> kit{{
    {Instrument::kick, "kick", make_kick, {{{'K'}}}},
    {Instrument::snare,
     "snare",
     make_snare,
     {{{'S'},
       {'s', Touch::soft},
       {'d', Touch::late},
       {'r', Touch::roll},
       {'R', Touch::fast_roll}}}},
    {Instrument::hihat, "hi-hat", make_hihat, {{{'h'}, {'H', Touch::accent}}}},
    {Instrument::open_hihat, "open hat", make_open_hihat, {{{'o'}}}},
    {Instrument::crash, "crash", make_crash, {{{'X'}}}},
    {Instrument::high_tom, "high tom", make_high_tom, {{{'t'}, {'m', Touch::plain, major_third}}}},
    {Instrument::low_tom, "low tom", make_low_tom, {{{'T'}}}},
    {Instrument::clap, "clap", make_clap, {{{'C'}}}},
}};

// Every drum of the instruments has its row, in sample order, so a drum
// left out of the kit does not compile rather than playing as another.
inline constexpr bool kit_in_sample_order = [] {
  for (std::size_t i = 0; i < kit.size(); ++i) {
    if (kit[i].instrument != static_cast<Instrument>(static_cast<std::size_t>(first_drum) + i)) {
      return false;
    }
  }
  return true;
}();
static_assert(kit_in_sample_order, "kit needs one row per drum, in sample order");

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

// The kit's row for a drum sample.
constexpr const KitDrum& kit_drum(Instrument drum) {
  return kit[static_cast<std::size_t>(drum) - static_cast<std::size_t>(first_drum)];
}

// The drum a token strikes and how; a DrumStep without a drum for a
// token that names none.
DrumStep drum_of_token(std::string_view token);
