#include "intro/dialogue.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <optional>

namespace {

const char title_line[] = "ORX presents BLUMOT, a demo in plain text";
const char credit_line[] = "Code, music and words by the ORX crew - released 7 December 2026";
const char colour_off[] = "\033[0m";

const char screen_menu[] =
    "\nSelect your screen:\n"
    "[1] 80x25 Linux, MS-DOS\n"
    "[2] 80x50 little font\n"
    "[3] 80x24 xterm, rxvt\n"
    "[4] 40x24 low res\n"
    "[5] other resolution\n"
    "?";

const char rate_menu[] =
    "Select frames per second:\n"
    "[1] 10 fps\n"
    "[2] 20 fps\n"
    "[3] 25 fps\n"
    "[4] 50 fps\n"
    "[5] other fps\n"
    "?";

struct ScreenSize {
  int32_t width;
  int32_t height;
};
// Keys '1' to '4'.
constexpr ScreenSize screen_presets[] = {{80, 25}, {80, 50}, {80, 24}, {40, 24}};
constexpr int32_t rate_presets[] = {10, 20, 25, 50};
constexpr int custom_key = '5';

// An answer line, read to its end. Empty when input ended or failed first,
// for without its line end an answer is incomplete, or when the line was too
// long.
using Answer = std::optional<int>;

// The next character of the input, as fgetc gives it. An input left
// non-blocking (by an earlier program that crashed, say) has nothing yet
// rather than a fault: it is waited on with poll(2), as the frames wait on
// their output.
int input_next(FILE* in) {
  for (;;) {
    const int c = std::fgetc(in);
    const bool nothing_yet =
        c == EOF && std::ferror(in) && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
    pollfd input{.fd = fileno(in), .events = POLLIN, .revents = 0};
    if (!nothing_yet || input.fd < 0) return c;
    std::clearerr(in);
    poll(&input, 1, -1);
  }
}

// Reads up to the line end that closes the answer; `c` is the character
// already read, the `length`-th of its line. False when input ends before
// the line end or the line grows longer than an answer may be.
bool finish_line(FILE* in, int c, int64_t length) {
  for (; c != '\n'; c = input_next(in), ++length) {
    if (c == EOF || length > dialogue_max_answer) return false;
  }
  return true;
}

// Only the first character of the line counts; the rest is discarded.
Answer read_key(FILE* in) {
  const int key = input_next(in);
  if (!finish_line(in, key, 1)) return std::nullopt;
  return key;
}

// The digits at the start of the line as a number; 0 when there are none or
// when they do not fit in 32 bits. Anything after them is ignored.
Answer read_number(FILE* in) {
  int64_t value = 0;
  bool too_large = false;
  int64_t length = 1;
  int c = input_next(in);
  for (; c >= '0' && c <= '9' && length <= dialogue_max_answer; c = input_next(in), ++length) {
    value = too_large ? value : value * 10 + (c - '0');
    too_large = too_large || value > std::numeric_limits<int32_t>::max();
  }
  if (!finish_line(in, c, length)) return std::nullopt;
  return too_large ? 0 : static_cast<int>(value);
}

// Shows the menu until the answer is one of its keys '1' to '5'; a wrong
// answer just brings the menu back.
Answer menu_choice(FILE* in, FILE* out, const char* menu) {
  int key = 0;
  while (key <= '0' || key > custom_key) {
    std::fputs(menu, out);
    const Answer answer = read_key(in);
    if (!answer) return std::nullopt;
    key = *answer;
  }
  return key;
}

// Asks until the answer is a number from 1 to `largest`.
Answer number_entry(FILE* in, FILE* out, const char* prompt, const char* error, int64_t largest) {
  for (;;) {
    std::fputs(prompt, out);
    const Answer value = read_number(in);
    if (!value) return std::nullopt;
    if (*value > 0 && *value <= largest) return value;
    std::fputs(error, out);
  }
}

void print_banner(const IntroVariant& variant, FILE* out) {
  std::fputs(variant.banner_colour, out);
  std::fputs(title_line, out);
  std::fputs("\n", out);
  std::fputs(credit_line, out);
  std::fputs(colour_off, out);
  std::fputs("\n\n", out);
  std::fputs(variant.end_hint, out);
}

bool choose_screen(FILE* in, FILE* out, IntroSettings* settings) {
  const Answer key = menu_choice(in, out, screen_menu);
  if (!key) return false;
  if (*key != custom_key) {
    const ScreenSize preset = screen_presets[*key - '1'];
    settings->screen_width = preset.width;
    settings->screen_height = preset.height;
    return true;
  }
  const Answer width =
      number_entry(in, out, "Width (columns) ?", "Wrong width.\n", dialogue_max_side);
  if (!width) return false;
  // The height is bounded by the side limit and by the cells a frame holds.
  const int64_t tallest = std::min<int64_t>(dialogue_max_side, dialogue_max_cells / *width);
  const Answer height = number_entry(in, out, "Height (lines) ?", "Wrong height.\n", tallest);
  if (!height) return false;
  settings->screen_width = *width;
  settings->screen_height = *height;
  return true;
}

bool choose_rate(FILE* in, FILE* out, IntroSettings* settings) {
  const Answer key = menu_choice(in, out, rate_menu);
  if (!key) return false;
  if (*key != custom_key) {
    settings->frame_rate = rate_presets[*key - '1'];
  } else {
    const Answer rate = number_entry(in, out, "Frames per second (fps) ?", "Wrong fps.\n",
                                     std::numeric_limits<int32_t>::max());
    if (!rate) return false;
    settings->frame_rate = *rate;
  }
  settings->frame_period = 1000000 / settings->frame_rate;
  return true;
}

}  // namespace

DialogueResult dialogue_run(const IntroVariant& variant, FILE* in, FILE* out,
                            IntroSettings* settings) {
  print_banner(variant, out);
  if (choose_screen(in, out, settings) && choose_rate(in, out, settings)) {
    return DialogueResult::answered;
  }
  // The reading stopped short of a line end: at the end of input, at an
  // error, or else past the longest answer.
  if (std::ferror(in)) return DialogueResult::input_failed;
  return std::feof(in) ? DialogueResult::input_ended : DialogueResult::answer_too_long;
}
