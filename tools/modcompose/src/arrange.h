// Arrangement: turns a Song's notation into the patterns, order list and
// samples of a module.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/modcompose/src/protracker.h"
#include "tools/modcompose/src/score.h"

// The channel of each voice. Amiga players pan channels 0 and 3 left and
// 1 and 2 right, so each side gets one low and one high voice: bass and
// chords on the left, drums and lead on the right.
inline constexpr int32_t bass_channel = 0;
inline constexpr int32_t drum_channel = 1;
inline constexpr int32_t lead_channel = 2;
inline constexpr int32_t chord_channel = 3;

// How a voice plays the notation's marks and touches: the parameters of
// its effect commands (the volumes of its accented and soft notes are its
// levels, in levels.h or its row of the kit). The bass's periods are four
// times the lead's, so it slides and glides by larger steps to move as far
// in pitch.
struct VoiceStyle {
  uint8_t vibrato = 0;      // speed and depth
  uint8_t tremolo = 0;      // speed and depth
  uint8_t slide = 0;        // period units per tick
  uint8_t glide = 0;        // portamento speed, period units per tick
  uint8_t late = 0;         // ticks into the row at which a late note starts
  uint8_t dark_offset = 0;  // sample offset of a dark note, 256-byte units
  uint8_t roll = 0;         // ticks between the strokes of a roll
  uint8_t fast_roll = 0;    // ticks between the strokes of a fast roll
};

// The lead: a singer's gentle vibrato, short falls at phrase ends. A late
// note comes one tick (20 ms) after the beat: laid back, not yet an
// off-beat.
inline constexpr VoiceStyle lead_style{
    .vibrato = 0x52, .tremolo = 0x66, .slide = 0x03, .glide = 0x0C, .late = 1, .dark_offset = 0};
// The descant: the lead's sound an octave up, played as the lead plays.
inline constexpr VoiceStyle descant_style = lead_style;
// A dark bass note starts 0x08 * 256 bytes in: 32 of the 64 cycles of the
// bass's filter sweep, half way along it.
inline constexpr VoiceStyle bass_style{
    .vibrato = 0x43, .tremolo = 0x44, .slide = 0x0A, .glide = 0x20, .late = 1, .dark_offset = 0x08};
// The chords start plainly or softly; their held rows are arpeggios.
inline constexpr VoiceStyle chord_style{};
// A late drum is dragged half a row behind: a fill's stumble, not a feel.
// A roll strikes twice a row, a fast roll three times.
inline constexpr VoiceStyle drum_style{.late = 3, .roll = 3, .fast_roll = 2};

// A release fades the note out within its row, losing 15 a tick: from any
// volume to silence by the row's end, in steps small enough that the
// mixer's edge makes no click, as a cut to volume 0 at once can.
inline constexpr uint8_t release_param = 0x0F;

// Whether a cell ends the sounding note: a release or a note cut.
inline bool cell_stops(const Cell& cell) {
  return (cell.effect == effect_volume_slide && cell.param == release_param) ||
         (cell.effect == effect_extended && cell.param >> 4 == extended_note_cut);
}

// The volume commands of the score's dynamics: a fade loses 1 a tick, a
// swell gains 1 a tick after the first of a row.
inline constexpr uint8_t fade_param = 0x01;
inline constexpr uint8_t swell_param = 0x10;
// Ticks into the row at which a cut note stops.
inline constexpr uint8_t cut_ticks = 3;

// The song's patterns, each once, in the order the form first plays
// them, which is the order of their numbers in the module.
std::vector<const PatternScore*> song_patterns(const Song& song);

// The order list: the pattern numbers of the form's sections, in order.
std::vector<uint8_t> order_list(const Song& song);

// Playing time of the whole song in seconds: each row lasts
// ticks_per_row ticks of 2.5 / beats_per_minute seconds.
double song_seconds(const Song& song);

// The complete module: instruments, patterns, order list; the first
// position's first row also sets speed and tempo.
Module arrange(const Song& song);

// The file bytes of the song's module.
std::vector<uint8_t> compose(const Song& song);
