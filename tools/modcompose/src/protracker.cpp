#include "tools/modcompose/src/protracker.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr uint32_t max_sample_bytes = 2 * 65535;
// ProTracker writes 127 here; players that read the byte as a restart
// position ignore a value past the song's end, so the song stops.
constexpr uint8_t restart_byte = 127;

void fail(const std::string& what) {
  throw std::invalid_argument(what);
}

void put_word(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value & 0xFF));
}

void put_text(std::vector<uint8_t>& out, const std::string& text, int32_t size) {
  const auto length = static_cast<int32_t>(text.size());
  for (int32_t i = 0; i < size; ++i) {
    out.push_back(i < length ? static_cast<uint8_t>(text[static_cast<std::size_t>(i)]) : 0);
  }
}

void check_sample(const Sample& sample) {
  const auto size = static_cast<uint32_t>(sample.data.size());
  if (sample.name.size() > sample_name_size) fail("sample name too long: " + sample.name);
  if (size % 2 != 0 || size > max_sample_bytes)
    fail("sample length must be whole words: " + sample.name);
  if (sample.volume > 64) fail("sample volume above 64: " + sample.name);
  if (sample.loop_start % 2 != 0 || sample.loop_length % 2 != 0)
    fail("loop not in whole words: " + sample.name);
  if (sample.loops()) {
    if (sample.loop_length < 4 || sample.loop_start + sample.loop_length > size) {
      fail("loop outside sample: " + sample.name);
    }
  } else if (sample.loop_start != 0) {
    fail("one-shot sample with a loop start: " + sample.name);
  } else if (size > 0 && (sample.data[0] != 0 || sample.data[1] != 0)) {
    fail("one-shot sample must start with two zero bytes: " + sample.name);
  }
}

void put_sample_header(std::vector<uint8_t>& out, const Sample& sample) {
  put_text(out, sample.name, sample_name_size);
  put_word(out, static_cast<uint32_t>(sample.data.size() / 2));
  out.push_back(0);  // finetune: the tune is written in the standard table
  out.push_back(sample.volume);
  put_word(out, sample.loop_start / 2);
  put_word(out, sample.loops() ? sample.loop_length / 2 : 1);
}

void check_cell(const Cell& cell, std::size_t sample_count) {
  if (cell.sample > sample_count)
    fail("cell names sample " + std::to_string(cell.sample) + " that does not exist");
  if (cell.period > 0xFFF) fail("period does not fit in 12 bits");
  if (cell.effect > 0xF) fail("effect command does not fit in 4 bits");
}

void put_cell(std::vector<uint8_t>& out, const Cell& cell) {
  out.push_back(static_cast<uint8_t>((cell.sample & 0xF0) | (cell.period >> 8)));
  out.push_back(static_cast<uint8_t>(cell.period & 0xFF));
  out.push_back(static_cast<uint8_t>(((cell.sample & 0x0F) << 4) | cell.effect));
  out.push_back(cell.param);
}

void check_order(const Module& module) {
  if (module.order.empty() || module.order.size() > max_positions)
    fail("order list must have 1 to 128 positions");
  const uint8_t highest = *std::max_element(module.order.begin(), module.order.end());
  // The file holds patterns 0..highest and nothing else: a pattern beyond
  // the highest played one would be lost, a missing one would be garbage.
  if (module.patterns.size() != static_cast<std::size_t>(highest) + 1) {
    fail("pattern count must be one more than the highest pattern in the order list");
  }
}

}  // namespace

std::vector<uint8_t> encode_module(const Module& module) {
  if (module.title.size() > title_size) fail("title longer than 20 bytes");
  if (module.samples.size() > max_samples) fail("more than 31 samples");
  for (const Sample& sample : module.samples) check_sample(sample);
  check_order(module);
  for (const Pattern& pattern : module.patterns) {
    for (const Row& row : pattern.rows) {
      for (const Cell& cell : row) check_cell(cell, module.samples.size());
    }
  }

  std::vector<uint8_t> out;
  put_text(out, module.title, title_size);
  // Unused slots are empty: no name, no data, volume 0, no loop.
  const Sample empty_slot{.name = {}, .data = {}, .loop_start = 0, .loop_length = 0, .volume = 0};
  for (int32_t i = 0; i < max_samples; ++i) {
    const auto index = static_cast<std::size_t>(i);
    put_sample_header(out, index < module.samples.size() ? module.samples[index] : empty_slot);
  }
  out.push_back(static_cast<uint8_t>(module.order.size()));
  out.push_back(restart_byte);
  for (int32_t i = 0; i < max_positions; ++i) {
    const auto index = static_cast<std::size_t>(i);
    out.push_back(index < module.order.size() ? module.order[index] : 0);
  }
  put_text(out, "M.K.", 4);
  for (const Pattern& pattern : module.patterns) {
    for (const Row& row : pattern.rows) {
      for (const Cell& cell : row) put_cell(out, cell);
    }
  }
  for (const Sample& sample : module.samples) {
    for (const int8_t byte : sample.data) out.push_back(static_cast<uint8_t>(byte));
  }
  return out;
}
