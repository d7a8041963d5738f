#include "tools/modcompose/src/pitch.h"

#include <array>
#include <stdexcept>
#include <string>

namespace {

// The ProTracker period table for finetune 0, octaves 1 to 3.
constexpr std::array<uint16_t, note_count> period_table{
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,  // C-1 .. B-1
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,  // C-2 .. B-2
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113,  // C-3 .. B-3
};

constexpr std::array<std::string_view, note_count> names{
    "C-1", "C#1", "D-1", "D#1", "E-1", "F-1", "F#1", "G-1", "G#1", "A-1", "A#1", "B-1",
    "C-2", "C#2", "D-2", "D#2", "E-2", "F-2", "F#2", "G-2", "G#2", "A-2", "A#2", "B-2",
    "C-3", "C#3", "D-3", "D#3", "E-3", "F-3", "F#3", "G-3", "G#3", "A-3", "A#3", "B-3",
};

// Clock of the PAL Amiga's sound chip; a period counts ticks of half of it.
constexpr double pal_clock_hz = 7093789.2;

void check_index(Note note) {
  if (note.index < 0 || note.index >= note_count) {
    throw std::out_of_range("note index " + std::to_string(note.index) + " outside C-1..B-3");
  }
}

}  // namespace

uint16_t period_of(Note note) {
  check_index(note);
  return period_table[static_cast<std::size_t>(note.index)];
}

Note parse_note(std::string_view name) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) {
      return Note{static_cast<int32_t>(i)};
    }
  }
  throw std::invalid_argument("not a note name: \"" + std::string(name) + "\"");
}

std::string_view note_name(Note note) {
  check_index(note);
  return names[static_cast<std::size_t>(note.index)];
}

double playback_rate_of(Note note) {
  return pal_clock_hz / (2.0 * period_of(note));
}
