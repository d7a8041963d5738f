// Note names and the ProTracker period table.
//
// A module stores pitch as an Amiga period: the number of clock ticks
// between two sample bytes. Trackers only offer the 36 periods of the
// standard table (three octaves, C-1 to B-3), and players map periods back
// to notes through the same table, so the composer never computes a period
// itself: it looks the note up here.
#pragma once

#include <cstdint>
#include <string_view>

// A note as an index into the period table: 0 is C-1, 35 is B-3.
struct Note {
  int32_t index = 0;
  friend bool operator==(Note, Note) = default;
};

inline constexpr int32_t notes_per_octave = 12;
inline constexpr int32_t note_count = 36;

// Amiga period of a note at finetune 0. Throws std::out_of_range for an
// index outside the table.
uint16_t period_of(Note note);

// Reads a tracker note name: a letter A-G, then '-' or '#', then the
// octave 1-3, for example "C-1", "F#2", "B-3". Throws
// std::invalid_argument for anything else.
Note parse_note(std::string_view name);

// The name that parse_note reads back to the same note.
std::string_view note_name(Note note);

// Pitch class of a note, 0 for C up to 11 for B.
inline constexpr int32_t pitch_class(Note note) {
  return note.index % notes_per_octave;
}

// Rate in Hz at which a PAL Amiga plays sample bytes at this note. The
// instruments use it to tune the drums, whose sample rate is the rate of the
// note they are played at.
double playback_rate_of(Note note);
