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

// How a token strikes its drum beyond playing its sample.
enum class Stroke : uint8_t {
  plain,
  soft,       // at the drum's soft level
  accent,     // at the drum's accent level
  late,       // half a row late
  roll,       // two hits a row
  fast_roll,  // three hits a row
  third_down  // a major third lower: the high tom as a middle tom
};

struct DrumToken {
  char token = 0;  // 0: no token in this slot
  Stroke stroke = Stroke::plain;
};

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
       {'s', Stroke::soft},
       {'d', Stroke::late},
       {'r', Stroke::roll},
       {'R', Stroke::fast_roll}}}},
    {Instrument::hihat, "hi-hat", make_hihat, {{{'h'}, {'H', Stroke::accent}}}},
    {Instrument::open_hihat, "open hat", make_open_hihat, {{{'o'}}}},
    {Instrument::crash, "crash", make_crash, {{{'X'}}}},
    {Instrument::high_tom, "high tom", make_high_tom, {{{'t'}, {'m', Stroke::third_down}}}},
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

// No two strokes share a token, and none is the notation's hold, or a
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

// A step of the drum notation: the drum struck and how, or no drum.
struct DrumStep {
  const KitDrum* drum = nullptr;
  Stroke stroke = Stroke::plain;
};

// The drum and stroke of a token; a DrumStep without a drum for a token
// that names none.
DrumStep drum_of_token(std::string_view token);
