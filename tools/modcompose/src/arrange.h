// Arrangement: turns a Song's notation into the patterns, order list and
// samples of a module.
#pragma once

#include <cstdint>
#include <vector>

#include "protracker.h"
#include "score.h"

// The channel of each voice. Amiga players pan channels 0 and 3 left and
// 1 and 2 right, so each side gets one low and one high voice: bass and
// chords on the left, drums and lead on the right.
inline constexpr int32_t bass_channel = 0;
inline constexpr int32_t drum_channel = 1;
inline constexpr int32_t lead_channel = 2;
inline constexpr int32_t chord_channel = 3;

// Volume of a ghost snare, against the snare sample's own volume.
inline constexpr uint8_t ghost_snare_volume = 18;
// Vibrato of held notes: speed 5, depth 2, a gentle singer's wobble.
inline constexpr uint8_t vibrato_param = 0x52;
// Fade-out: volume falls by 1 on each tick after the first of a row.
inline constexpr uint8_t fade_param = 0x01;

// The order list: the pattern numbers of the form's sections, in order.
// Pattern numbers follow the order of Song::patterns. Throws
// std::invalid_argument for a section naming an unknown pattern or a
// pattern that the form never plays.
std::vector<uint8_t> order_list(const Song& song);

// Playing time of the whole song in seconds: each row lasts
// ticks_per_row ticks of 2.5 / beats_per_minute seconds.
double song_seconds(const Song& song);

// The complete module: instruments, patterns, order list; the first
// position's first row also sets speed and tempo.
Module arrange(const Song& song);

// The file bytes of the song's module.
std::vector<uint8_t> compose(const Song& song);
