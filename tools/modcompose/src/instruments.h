// The instruments of the tune, synthesised as short 8-bit samples.
//
// Pitched instruments are looped: a short attack whose tone and level
// change cycle by cycle, then a loop of whole cycles that holds the note
// for as long as the score lets it ring. Their cycle length fixes their
// register, because a note plays a sample at a fixed byte rate: a 32-byte
// cycle sounds C-2 as about 259 Hz, a 64-byte cycle an octave lower.
// Drums are one-shot samples synthesised at the byte rate of the note the
// score plays them at, so they sound at their intended pitch. The kit,
// with the notation's tokens for it and the drums' levels, is in kit.h;
// the pitched voices' levels are in levels.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/modcompose/src/pitch.h"
#include "tools/modcompose/src/protracker.h"

// Sample numbers as they appear in the patterns (1-based, as in the file):
// the pitched voices, then the kit's drums in the order of its table in
// kit.h, the first of them at first_drum.
enum class Instrument : uint8_t {
  bass = 1,
  lead,
  chords,
  descant,
  first_drum,
};

constexpr uint8_t sample_number(Instrument instrument) {
  return static_cast<uint8_t>(instrument);
}

// Whether a sample is one of the kit's drums (and so never a melody).
constexpr bool is_drum(uint8_t sample) {
  return sample >= sample_number(Instrument::first_drum);
}

// Bytes in one waveform cycle of a pitched instrument's loop. The descant
// is the lead's sound an octave up, for the notes above the top of the
// period table.
inline constexpr int32_t bass_cycle = 64;
inline constexpr int32_t lead_cycle = 32;
inline constexpr int32_t chords_cycle = 32;
inline constexpr int32_t descant_cycle = 16;

// The note every drum is triggered at; its sample is made for that rate.
Note drum_note();

// Every instrument, in sample-number order, each at its plain level: the
// pitched voices, then the kit's drums.
std::vector<Sample> make_instruments();

// The pitched voices' samples, for tests and for make_instruments. The
// drums' makers are declared beside the kit's table.
Sample make_bass();
Sample make_lead();
Sample make_chords();
Sample make_descant();
