// The instruments of the tune, synthesised as short 8-bit samples.
//
// Pitched instruments are looped: a short attack whose tone and level
// change cycle by cycle, then a loop of whole cycles that holds the note
// for as long as the score lets it ring. Their cycle length fixes their
// register, because a note plays a sample at a fixed byte rate: a 32-byte
// cycle sounds C-2 as about 259 Hz, a 64-byte cycle an octave lower.
// Drums are one-shot samples synthesised at the byte rate of the note the
// score plays them at, so they sound at their intended pitch. The kit:
// kick, snare, clap, closed and open hi-hat, crash, a high and a low tom.
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
  crash = 8,
  high_tom = 9,
  low_tom = 10,
  clap = 11,
  descant = 12,
};

// Whether a sample is one of the kit's drums (and so never a melody).
bool is_drum(Instrument instrument);

// Bytes in one waveform cycle of a pitched instrument's loop. The descant
// is the lead's sound an octave up, for the notes above the top of the
// period table.
inline constexpr int32_t bass_cycle = 64;
inline constexpr int32_t lead_cycle = 32;
inline constexpr int32_t chords_cycle = 32;
inline constexpr int32_t descant_cycle = 16;

// The lead's and the descant's own volumes, at which their plain notes
// play.
inline constexpr uint8_t lead_volume = 34;
inline constexpr uint8_t descant_volume = 36;

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
Sample make_crash();
Sample make_high_tom();
Sample make_low_tom();
Sample make_clap();
Sample make_descant();
