// The ProTracker "M.K." module: the in-memory picture and its encoding.
//
// Layout of the file, all words big-endian:
//   title                  20 bytes, zero padded
//   31 sample headers      30 bytes each: name (22), length in words,
//                          finetune, volume, loop start and loop length in
//                          words
//   song length            1 byte, the number of positions played
//   restart byte           1 byte, 127 as ProTracker writes it
//   order list             128 bytes, pattern numbers, unused entries 0
//   "M.K."                 4 channels
//   patterns               64 rows x 4 channels x 4 bytes each, as many as
//                          the highest pattern in the order list needs
//   sample data            signed 8-bit, in header order
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr int32_t channel_count = 4;
inline constexpr int32_t rows_per_pattern = 64;
inline constexpr int32_t max_samples = 31;
inline constexpr int32_t max_positions = 128;
inline constexpr int32_t title_size = 20;
inline constexpr int32_t sample_name_size = 22;
// Offset of the "M.K." tag, which is also where the header ends.
inline constexpr int32_t header_size = 1084;
inline constexpr int32_t pattern_size = rows_per_pattern * channel_count * 4;

// A sample as the player sees it. A one-shot sample has loop_length 0; it
// is written with the format's no-loop marker (loop start 0, length one
// word), and its first two bytes must be zero because the Amiga keeps
// repeating them once the sample has played.
struct Sample {
  std::string name;
  std::vector<int8_t> data;  // even length, at most 65535 words
  uint32_t loop_start = 0;   // in bytes, even
  uint32_t loop_length = 0;  // in bytes, even; 0 means no loop
  uint8_t volume = 64;       // 0..64
  bool loops() const {
    return loop_length > 0;
  }
};

// One channel in one row. sample 0 means "no new sample", period 0 "no new
// note"; effect and param are the tracker command, e.g. 0xC/0x20 "volume 32".
struct Cell {
  uint8_t sample = 0;
  uint16_t period = 0;
  uint8_t effect = 0;
  uint8_t param = 0;
  friend auto operator<=>(const Cell&, const Cell&) = default;
};

using Row = std::array<Cell, channel_count>;
struct Pattern {
  std::array<Row, rows_per_pattern> rows{};
};

struct Module {
  std::string title;
  std::vector<Sample> samples;  // sample number n is samples[n - 1]
  std::vector<Pattern> patterns;
  std::vector<uint8_t> order;  // pattern number for each position
};

// The file bytes of a module. Throws std::invalid_argument when the module
// breaks a rule of the format instead of writing a file that players would
// read differently from what was composed.
std::vector<uint8_t> encode_module(const Module& module);

// The tracker effect commands the composer uses. The extended commands
// (0xE) carry their own command in the parameter's high nibble.
inline constexpr uint8_t effect_arpeggio = 0x0;
inline constexpr uint8_t effect_slide_up = 0x1;
inline constexpr uint8_t effect_slide_down = 0x2;
inline constexpr uint8_t effect_portamento = 0x3;
inline constexpr uint8_t effect_vibrato = 0x4;
inline constexpr uint8_t effect_tremolo = 0x7;
inline constexpr uint8_t effect_sample_offset = 0x9;
inline constexpr uint8_t effect_volume_slide = 0xA;
inline constexpr uint8_t effect_position_jump = 0xB;
inline constexpr uint8_t effect_set_volume = 0xC;
inline constexpr uint8_t effect_pattern_break = 0xD;
inline constexpr uint8_t effect_extended = 0xE;
inline constexpr uint8_t effect_set_speed = 0xF;  // below 32 ticks per row, else BPM
// Extended commands, as the high nibble of an 0xE command's parameter.
inline constexpr uint8_t extended_retrigger = 0x9;
inline constexpr uint8_t extended_note_cut = 0xC;
inline constexpr uint8_t extended_note_delay = 0xD;
