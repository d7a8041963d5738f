// The score notation, described here once for the score in score.cpp and
// for whoever changes it: one text per voice and bar, one step per row.
//
// A bar is 16 steps, sixteenth notes at four rows per beat, so the beats
// fall on steps 1, 5, 9 and 13. Steps are separated by blanks; '|' bar
// lines may be written for the eye and are skipped. An empty bar means 16
// holds. Steps common to all voices:
//   .    hold: nothing new, the sound goes on as it was
//   ^    release: the sound fades out within the row and stops
// Melodic voices (bass, lead, descant):
//   C-2  a note by its tracker name (letter, '-' or '#', octave 1-3),
//        optionally followed by how it starts:
//          C-2!  accented, louder       C-2,  soft
//          C-2*  glides from the sounding note to this one (portamento)
//          C-2'  late: starts a tick after the beat, laid back (note delay)
//          C-2_  dark: starts half way along the sample (sample offset)
//        The bass sounds an octave below the name (its cycle is twice the
//        lead's), the descant an octave above it (half the lead's).
//   ~    hold with vibrato           w    hold with tremolo
//   /    hold, sliding up            v    hold, sliding down
//   <    hold, growing louder        >    hold, fading out
//   x    the sound is cut half way through the row
// Chord voice: a chord symbol, played as a fast arpeggio of its notes:
//   Am   root letter, optional '#' or 'b', then the kind: nothing for major,
//        m minor, 7 dominant seventh, m7 minor seventh, sus2, sus4;
//        a trailing ',' starts it soft
//   >    the arpeggio stops and the chord's root fades out
// Drums: one character a drum, as the kit's table in kit.h names them,
// each striking its drum with a touch of its own (K kick, S snare, s soft
// snare, d late snare, r and R rolls, h hi-hat, H accented hi-hat, X crash
// over a kick, ...), and "." for none.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "tools/modcompose/src/pitch.h"

inline constexpr int32_t steps_per_bar = 16;

// Splits a bar into its step tokens, skipping bar lines. Throws
// std::invalid_argument unless an empty bar or exactly 16 steps.
std::vector<std::string_view> split_bar(std::string_view bar);

enum class Mark {
  hold,
  release,
  note,
  vibrato,
  tremolo,
  slide_up,
  slide_down,
  swell,
  fade,
  cut,
  chord,
};

// How a note, chord or drum starts. Each voice plays a touch in its own
// style (see VoiceStyle in arrange.h): a late drum lags further behind
// the beat than a late note.
enum class Touch : uint8_t {
  plain,
  accent,     // at the voice's accent level
  soft,       // at the voice's soft level
  glide,      // bending from the sounding note to this one
  late,       // a few ticks after the beat
  dark,       // from part way along the sample
  roll,       // struck again within the row
  fast_roll,  // struck again, faster
};

struct MelodyStep {
  Mark mark = Mark::hold;
  Note note{};  // for Mark::note
  Touch touch = Touch::plain;
};

// A chord as the arpeggio plays it: root note plus the semitone offsets of
// the two other notes, packed as the two nibbles of the arpeggio command.
struct Chord {
  Note root{};
  uint8_t arpeggio = 0;
};

struct ChordStep {
  Mark mark = Mark::hold;
  Chord chord{};               // for Mark::chord
  Touch touch = Touch::plain;  // plain or soft
};

// Each parser returns exactly 16 steps for one bar and throws
// std::invalid_argument, naming the token, for anything it cannot read.
// A drum step: the drum struck, how and how far below its own note, or
// no drum.
struct KitDrum;
struct DrumStep {
  const KitDrum* drum = nullptr;
  Touch touch = Touch::plain;
  int32_t down = 0;  // semitones
};

std::vector<MelodyStep> parse_melody_bar(std::string_view bar);
std::vector<ChordStep> parse_chord_bar(std::string_view bar);
std::vector<DrumStep> parse_drum_bar(std::string_view bar);

// Reads one chord symbol. The root is placed between G-1 and F#2, the
// middle of the chord voice's range, so chords move by small steps.
Chord parse_chord(std::string_view symbol);
