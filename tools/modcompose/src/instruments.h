// The instruments of the tune, synthesised as short 8-bit samples.
//
// Pitched instruments are looped: a short attack whose tone and level
// change cycle by cycle, then a loop of whole cycles that holds the note
// for as long as the score lets it ring. Their cycle length fixes their
// register, because a note plays a sample at a fixed byte rate: a 32-byte
// cycle sounds C-2 as about 259 Hz, a 64-byte cycle an octave lower.
// Drums are one-shot samples synthesised at the byte rate of the note the
// score plays them at, so they sound at their intended pitch.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/modcompose/src/pitch.h"
#include "tools/modcompose/src/protracker.h"

// Sample numbers as they appear in the patterns (1-based, as in the file).
enum class Instrument : uint8_t {
  bass = 1,
  lead = 2,
  chords = 3,
  kick = 4,
  snare = 5,
  hihat = 6,
  open_hihat = 7,
};

// Bytes in one waveform cycle of a pitched instrument's loop.
inline constexpr int32_t bass_cycle = 64;
inline constexpr int32_t lead_cycle = 32;
inline constexpr int32_t chords_cycle = 32;

// The lead's own volume, at which its plain notes play.
inline constexpr uint8_t lead_volume = 40;

// The note each drum is triggered at; its sample is made for that rate.
Note drum_note(Instrument drum);

// Every instrument, in sample-number order.
std::vector<Sample> make_instruments();

// Individual instruments, for tests and for make_instruments.
Sample make_bass();
Sample make_lead();
Sample make_chords();
Sample make_kick();
Sample make_snare();
Sample make_hihat();
Sample make_open_hihat();
