#include "tools/modcompose/src/protracker.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

uint32_t word_at(const std::vector<uint8_t>& bytes, std::size_t offset) {
  return (static_cast<uint32_t>(bytes[offset]) << 8) | bytes[offset + 1];
}

std::size_t header_of(int32_t sample_index) {
  return 20 + 30 * static_cast<std::size_t>(sample_index);
}

// Two patterns, a looped and a one-shot sample, played 1, 0, 1.
Module small_module() {
  Module module;
  module.title = "test title";
  Sample looped;
  looped.name = "looped";
  looped.data = {10, 20, 30, 40, -10, -20, -30, -40};
  looped.loop_start = 2;
  looped.loop_length = 6;
  looped.volume = 40;
  Sample one_shot;
  one_shot.name = "one shot";
  one_shot.data = {0, 0, 5, -5};
  module.samples = {looped, one_shot};
  module.patterns.resize(2);
  module.patterns[1].rows[3][2] = Cell{2, 428, effect_set_volume, 0x20};
  module.order = {1, 0, 1};
  return module;
}

TEST(ProTrackerEncoding, HeaderLayout) {
  const std::vector<uint8_t> bytes = encode_module(small_module());
  ASSERT_EQ(bytes.size(), static_cast<std::size_t>(header_size + 2 * pattern_size + 8 + 4));
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 10), "test title");
  for (std::size_t i = 10; i < 20; ++i) EXPECT_EQ(bytes[i], 0) << "title padding " << i;
  EXPECT_EQ(bytes[950], 3) << "song length";
  EXPECT_EQ(bytes[951], 127) << "restart byte";
  EXPECT_EQ(bytes[952], 1);
  EXPECT_EQ(bytes[953], 0);
  EXPECT_EQ(bytes[954], 1);
  for (std::size_t i = 955; i < 1080; ++i) EXPECT_EQ(bytes[i], 0) << "unused order entry " << i;
  EXPECT_EQ(std::string(bytes.begin() + 1080, bytes.begin() + 1084), "M.K.");
}

TEST(ProTrackerEncoding, SampleHeadersCountWords) {
  const std::vector<uint8_t> bytes = encode_module(small_module());
  const std::size_t looped = header_of(0);
  EXPECT_EQ(std::string(bytes.begin() + static_cast<long>(looped),
                        bytes.begin() + static_cast<long>(looped) + 6),
            "looped");
  EXPECT_EQ(word_at(bytes, looped + 22), 4u) << "length in words";
  EXPECT_EQ(bytes[looped + 24], 0) << "finetune";
  EXPECT_EQ(bytes[looped + 25], 40) << "volume";
  EXPECT_EQ(word_at(bytes, looped + 26), 1u) << "loop start in words";
  EXPECT_EQ(word_at(bytes, looped + 28), 3u) << "loop length in words";

  const std::size_t one_shot = header_of(1);
  EXPECT_EQ(word_at(bytes, one_shot + 22), 2u);
  EXPECT_EQ(word_at(bytes, one_shot + 26), 0u);
  EXPECT_EQ(word_at(bytes, one_shot + 28), 1u) << "a loop length of one word means no loop";
}

TEST(ProTrackerEncoding, UnusedSampleSlotsAreEmpty) {
  const std::vector<uint8_t> bytes = encode_module(small_module());
  for (int32_t slot = 2; slot < max_samples; ++slot) {
    const std::size_t header = header_of(slot);
    for (std::size_t i = 0; i < 28; ++i)
      EXPECT_EQ(bytes[header + i], 0) << "slot " << slot << " byte " << i;
    EXPECT_EQ(word_at(bytes, header + 28), 1u) << "slot " << slot;
  }
}

TEST(ProTrackerEncoding, PatternsThenSampleData) {
  const std::vector<uint8_t> bytes = encode_module(small_module());
  // Pattern 1, row 3, channel 2: sample 2, period 428 (0x1AC), C20.
  const std::size_t cell = header_size + pattern_size + (3 * channel_count + 2) * 4;
  EXPECT_EQ(bytes[cell], 0x01);
  EXPECT_EQ(bytes[cell + 1], 0xAC);
  EXPECT_EQ(bytes[cell + 2], 0x2C);
  EXPECT_EQ(bytes[cell + 3], 0x20);
  const std::size_t data = header_size + 2 * pattern_size;
  EXPECT_EQ(static_cast<int8_t>(bytes[data]), 10);
  EXPECT_EQ(static_cast<int8_t>(bytes[data + 7]), -40);
  EXPECT_EQ(static_cast<int8_t>(bytes[data + 10]), 5);
}

TEST(ProTrackerEncoding, SampleNumbersAboveFifteenUseTheHighNibble) {
  Module module = small_module();
  module.samples.resize(17, module.samples[1]);
  module.patterns[0].rows[0][0] = Cell{17, 113, 0, 0};
  const std::vector<uint8_t> bytes = encode_module(module);
  EXPECT_EQ(bytes[header_size], 0x10);
  EXPECT_EQ(bytes[header_size + 1], 113);
  EXPECT_EQ(bytes[header_size + 2], 0x10);
}

TEST(ProTrackerEncoding, RefusesModulesPlayersWouldMisread) {
  const auto rejects = [](auto change) {
    Module module = small_module();
    change(module);
    return [module] { (void)encode_module(module); };
  };
  EXPECT_THROW(rejects([](Module& m) { m.title = std::string(21, 'x'); })(), std::invalid_argument);
  EXPECT_THROW(rejects([](Module& m) { m.samples[1].data = {0, 0, 1}; })(), std::invalid_argument);
  EXPECT_THROW(rejects([](Module& m) {
                 m.samples[1].data = {0, 3, 1, 2};
               })(),
               std::invalid_argument);
  EXPECT_THROW(rejects([](Module& m) { m.samples[0].loop_length = 8; })(), std::invalid_argument);
  EXPECT_THROW(rejects([](Module& m) { m.samples[0].loop_start = 1; })(), std::invalid_argument);
  EXPECT_THROW(rejects([](Module& m) { m.samples[0].volume = 65; })(), std::invalid_argument);
  EXPECT_THROW(rejects([](Module& m) { m.samples.resize(32); })(), std::invalid_argument);
  EXPECT_THROW(rejects([](Module& m) { m.order = {0}; })(), std::invalid_argument)
      << "pattern 1 would be lost";
  EXPECT_THROW(rejects([](Module& m) { m.order = {2}; })(), std::invalid_argument);
  EXPECT_THROW(rejects([](Module& m) { m.order.clear(); })(), std::invalid_argument);
  EXPECT_THROW(rejects([](Module& m) { m.order.assign(129, 1); })(), std::invalid_argument);
  EXPECT_THROW(rejects([](Module& m) { m.patterns[0].rows[0][0].sample = 3; })(),
               std::invalid_argument);
  EXPECT_THROW(rejects([](Module& m) { m.patterns[0].rows[0][0].effect = 0x10; })(),
               std::invalid_argument);
}

}  // namespace