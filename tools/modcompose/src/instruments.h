// The instruments of the tune, synthesised as short 8-bit samples.
//
// Pitched instruments are looped: a short attack whose tone and level
// change cycle by cycle, then a loop of whole cycles that holds the note
// for as long as the score lets it ring. Their cycle length fixes their
// register, because a note plays a sample at a fixed byte rate: a 32-byte
// cycle sounds C-2 as about 259 Hz, a 64-byte cycle an octave lower.
// Drums are one-shot samples synthesised at the byte rate of the note the
// score plays them at, so they sound at their intended pitch. The kit, and
// the notation's tokens for it, are in kit.h; every level in levels.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/modcompose/src/pitch.h"
#include "tools/modcompose/src/protracker.h"

// Sample numbers as they appear in the patterns (1-based, as in the file):
// the pitched voices, then the drums of the kit, last to the end.
enum class Instrument : uint8_t {
  bass = 1,
  lead,
  chords,
  descant,
  kick,
  snare,
  hihat,
  open_hihat,
  crash,
  high_tom,
  low_tom,
  clap,
};
inline constexpr Instrument first_drum = Instrument::kick;
inline constexpr std::size_t instrument_count = static_cast<std::size_t>(Instrument::clap);
inline constexpr std::size_t drum_count =
    instrument_count + 1 - static_cast<std::size_t>(first_drum);

// Whether a sample is one of the kit's drums (and so never a melody).
constexpr bool is_drum(Instrument instrument) {
  return instrument >= first_drum;
}

// Bytes in one waveform cycle of a pitched instrument's loop. The descant
// is the lead's sound an octave up, for the notes above the top of the
// period table.
inline constexpr int32_t bass_cycle = 64;
inline constexpr int32_t lead_cycle = 32;
inline constexpr int32_t chords_cycle = 32;
inline constexpr int32_t descant_cycle = 16;

// The note each drum is triggered at; its sample is made for that rate.
Note drum_note(Instrument drum);

// Every instrument, in sample-number order: the pitched voices, then the
// kit's drums as kit.h lists them.
std::vector<Sample> make_instruments();

// Individual instruments, for tests and for make_instruments.
Sample make_bass();
Sample make_lead();
Sample make_chords();
Sample make_descant();
Sample make_kick();
Sample make_snare();
Sample make_hihat();
Sample make_open_hihat();
Sample make_crash();
Sample make_high_tom();
Sample make_low_tom();
Sample make_clap();
