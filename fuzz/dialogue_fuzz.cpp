// Arbitrary bytes as the answers to the start-up dialogue, on memory
// streams. The dialogue must end (libFuzzer's time limit catches one
// that does not), and whatever it accepted must lie within the bounds: the
// same answers as a plain model of the menus and number entries finds, a
// screen of 1 to 32767 columns and lines and at most 16777216 cells, a
// frame rate above 0 and the frame period that follows from it. An answer
// line longer than 65536 characters stops the dialogue as too long.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>

#include "fuzz/fuzz_check.h"
#include "intro/dialogue.h"
#include "tests/support/memory_stream.h"

namespace {

// The answers as the dialogue should take them, read straight from the
// bytes.
class Model {
 public:
  Model(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  // Empty when input ends before the last answer or a line is too long.
  std::optional<IntroSettings> run() {
    IntroSettings settings;
    const std::optional<int> screen = menu();
    if (!screen) return std::nullopt;
    static constexpr int32_t widths[] = {80, 80, 80, 40};
    static constexpr int32_t heights[] = {25, 50, 24, 24};
    if (*screen < 5) {
      settings.screen_width = widths[*screen - 1];
      settings.screen_height = heights[*screen - 1];
    } else {
      const std::optional<int64_t> width = number(32767);
      if (!width) return std::nullopt;
      const std::optional<int64_t> height = number(std::min<int64_t>(32767, 16777216 / *width));
      if (!height) return std::nullopt;
      settings.screen_width = static_cast<int32_t>(*width);
      settings.screen_height = static_cast<int32_t>(*height);
    }
    const std::optional<int> rate_key = menu();
    if (!rate_key) return std::nullopt;
    static constexpr int32_t rates[] = {10, 20, 25, 50};
    if (*rate_key < 5) {
      settings.frame_rate = rates[*rate_key - 1];
    } else {
      const std::optional<int64_t> rate = number(std::numeric_limits<int32_t>::max());
      if (!rate) return std::nullopt;
      settings.frame_rate = static_cast<int32_t>(*rate);
    }
    settings.frame_period = 1000000 / settings.frame_rate;
    return settings;
  }

  // Whether the run stopped at a line that is too long.
  bool too_long() const {
    return too_long_;
  }

 private:
  int next() {
    return at_ < size_ ? data_[at_++] : EOF;
  }

  // Reads to the line end after `c`, the `length`-th character of its line;
  // false when input ends first or the line is too long.
  bool line_end(int c, int64_t length) {
    for (; c != '\n'; c = next(), ++length) {
      if (c == EOF) return false;
      if (length > 65536) {
        too_long_ = true;
        return false;
      }
    }
    return true;
  }

  // The first key '1' to '5' that starts an answer line, as 1 to 5.
  std::optional<int> menu() {
    for (;;) {
      const int key = next();
      if (!line_end(key, 1)) return std::nullopt;
      if (key >= '1' && key <= '5') return key - '0';
    }
  }

  // The first answer line whose leading digits make 1 to `largest`.
  std::optional<int64_t> number(int64_t largest) {
    for (;;) {
      int64_t value = 0;
      int64_t length = 1;
      int c = next();
      for (; c >= '0' && c <= '9' && length <= 65536; c = next(), ++length) {
        if (value <= std::numeric_limits<int32_t>::max()) value = value * 10 + (c - '0');
      }
      if (!line_end(c, length)) return std::nullopt;
      if (value >= 1 && value <= largest) return value;
    }
  }

  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
  bool too_long_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  InputStream in(std::string(reinterpret_cast<const char*>(data), size));
  MemoryStream out;
  IntroSettings settings;
  const DialogueResult result = dialogue_run(silent_variant, in.stream(), out.stream(), &settings);
  Model model(data, size);
  const std::optional<IntroSettings> expected = model.run();
  // Every answer is read after its prompt, which ends in a question mark,
  // and nothing is printed after the last answer.
  const std::string printed = out.text();
  FUZZ_CHECK(!printed.empty() && printed.back() == '?');
  if (result != DialogueResult::answered) {
    // Only the end of the input or a line too long stops the dialogue early.
    FUZZ_CHECK(result ==
               (model.too_long() ? DialogueResult::answer_too_long : DialogueResult::input_ended));
    FUZZ_CHECK(!expected.has_value());
    return 0;
  }
  FUZZ_CHECK(settings.screen_width >= 1 && settings.screen_width <= dialogue_max_side);
  FUZZ_CHECK(settings.screen_height >= 1 && settings.screen_height <= dialogue_max_side);
  FUZZ_CHECK(int64_t{settings.screen_width} * settings.screen_height <= dialogue_max_cells);
  FUZZ_CHECK(settings.frame_rate >= 1);
  FUZZ_CHECK(settings.frame_period == 1000000 / settings.frame_rate);
  FUZZ_CHECK(expected.has_value());
  FUZZ_CHECK(settings.screen_width == expected->screen_width);
  FUZZ_CHECK(settings.screen_height == expected->screen_height);
  FUZZ_CHECK(settings.frame_rate == expected->frame_rate);
  return 0;
}
