#include "intro/dialogue.h"

#include <gtest/gtest.h>

#include <string>

#include "intro/variant.h"
#include "tests/support/memory_stream.h"

namespace {

using namespace std::string_literals;

const std::string banner =
    "\033[34mORX presents BLUMOT, a demo in plain text\n"
    "Code, music and words by the ORX crew - released 7 December 2026\033[0m\n\n"
    "\033[35mTo end intro press Ctrl-c.\033[0m\n\n";
const std::string screen_menu =
    "\nSelect your screen:\n[1] 80x25 Linux, MS-DOS\n[2] 80x50 little font\n"
    "[3] 80x24 xterm, rxvt\n[4] 40x24 low res\n[5] other resolution\n?";
const std::string rate_menu =
    "Select frames per second:\n[1] 10 fps\n[2] 20 fps\n[3] 25 fps\n[4] 50 fps\n[5] other fps\n?";
const std::string width_prompt = "Width (columns) ?";
const std::string height_prompt = "Height (lines) ?";
const std::string rate_prompt = "Frames per second (fps) ?";

struct Outcome {
  DialogueResult result;
  IntroSettings settings;
  std::string printed;
};

Outcome answer(const std::string& input) {
  InputStream in(input);
  MemoryStream out;
  Outcome outcome{};
  outcome.result = dialogue_run(silent_variant, in.stream(), out.stream(), &outcome.settings);
  outcome.printed = out.text();
  return outcome;
}

void expect_answered(const Outcome& o, int32_t width, int32_t height, int32_t rate,
                     int32_t period) {
  ASSERT_EQ(o.result, DialogueResult::answered) << o.printed;
  EXPECT_EQ(o.settings.screen_width, width);
  EXPECT_EQ(o.settings.screen_height, height);
  EXPECT_EQ(o.settings.frame_rate, rate);
  EXPECT_EQ(o.settings.frame_period, period);
}

TEST(Dialogue, PrintsBannerMenusAndPromptsExactly) {
  const Outcome o = answer("3\n2\n");
  expect_answered(o, 80, 24, 20, 50000);
  EXPECT_EQ(o.printed, banner + screen_menu + rate_menu);
}

TEST(Dialogue, EveryPresetKeyPicksItsSizeAndRate) {
  expect_answered(answer("1\n1\n"), 80, 25, 10, 100000);
  expect_answered(answer("2\n2\n"), 80, 50, 20, 50000);
  expect_answered(answer("3\n3\n"), 80, 24, 25, 40000);
  expect_answered(answer("4\n4\n"), 40, 24, 50, 20000);
}

TEST(Dialogue, OnlyTheFirstCharacterOfAMenuAnswerCounts) {
  expect_answered(answer("12\n4 and more\n"), 80, 25, 50, 20000);
}

TEST(Dialogue, WrongMenuAnswersBringTheWholeMenuBackSilently) {
  // Empty line, leading blank, 0, 6, a letter, a NUL, a high byte.
  const Outcome o = answer(std::string("\n 1\n0\n6\nx\n\0\n\xB1\n1\n9\n1\n", 21));
  expect_answered(o, 80, 25, 10, 100000);
  std::string expected = banner;
  for (int i = 0; i < 8; ++i) expected += screen_menu;
  expected += rate_menu + rate_menu;
  EXPECT_EQ(o.printed, expected);
}

TEST(Dialogue, CustomSizeAsksWidthThenHeight) {
  const Outcome o = answer("5\n100abc\n007\n5\n3\n");
  expect_answered(o, 100, 7, 3, 333333);
  EXPECT_EQ(o.printed,
            banner + screen_menu + width_prompt + height_prompt + rate_menu + rate_prompt);
}

TEST(Dialogue, NumbersThatAreNotPositiveAreRefusedWithTheirMessage) {
  const Outcome o = answer("5\n 100\n0\n-5\n\n\0\n100\n+3\n2\n1\n"s);
  expect_answered(o, 100, 2, 10, 100000);
  const std::string wrong_width = width_prompt + "Wrong width.\n";
  EXPECT_EQ(o.printed, banner + screen_menu + wrong_width + wrong_width + wrong_width +
                           wrong_width + wrong_width + width_prompt + height_prompt +
                           "Wrong height.\n" + height_prompt + rate_menu);
}

TEST(Dialogue, AOneByOneScreenIsAccepted) {
  expect_answered(answer("5\n1\n1\n1\n"), 1, 1, 10, 100000);
}

TEST(Dialogue, NumbersTooLargeForThirtyTwoBitsAreRefusedLikeZero) {
  const Outcome o = answer("5\n99999999999\n2147483648\n80\n25\n5\n4294967306\n2147483647\n");
  expect_answered(o, 80, 25, 2147483647, 0);
  EXPECT_EQ(o.printed, banner + screen_menu + width_prompt + "Wrong width.\n" + width_prompt +
                           "Wrong width.\n" + width_prompt + height_prompt + rate_menu +
                           rate_prompt + "Wrong fps.\n" + rate_prompt);
}

TEST(Dialogue, SidesAreBoundedByTheLineDrawingRange) {
  expect_answered(answer("5\n32768\n32767\n512\n1\n"), 32767, 512, 10, 100000);
  const Outcome tall = answer("5\n1\n32768\n32767\n1\n");
  expect_answered(tall, 1, 32767, 10, 100000);
  EXPECT_NE(tall.printed.find(height_prompt + "Wrong height.\n" + height_prompt),
            std::string::npos);
}

TEST(Dialogue, ScreensOfMoreThanSixteenMebicellsAskTheHeightAgain) {
  // 4096 x 4096 is exactly the limit; one line more is refused.
  expect_answered(answer("5\n4096\n4096\n1\n"), 4096, 4096, 10, 100000);
  const Outcome o = answer("5\n5000\n5000\n3355\n1\n");
  expect_answered(o, 5000, 3355, 10, 100000);
  EXPECT_EQ(o.printed, banner + screen_menu + width_prompt + height_prompt + "Wrong height.\n" +
                           height_prompt + rate_menu);
}

TEST(Dialogue, RatesAboveAMillionGiveNoPause) {
  expect_answered(answer("1\n5\n1000000\n"), 80, 25, 1000000, 1);
  expect_answered(answer("1\n5\n1000001\n"), 80, 25, 1000001, 0);
}

TEST(Dialogue, EndOfInputAnywhereStopsTheDialogue) {
  for (const char* input : {"", "1", "\n\n", "5\n", "5\n12", "5\nabc", "5\n80\n", "5\n80\n0\n",
                            "1\n", "1\n5\n", "1\n5\n10", "1\n7\n"}) {
    const Outcome o = answer(input);
    EXPECT_EQ(o.result, DialogueResult::input_ended) << "input: " << input;
  }
}

TEST(Dialogue, AnswerLinesEndAt64KiB) {
  const std::string longest(65536, '1');
  // At the bound a line still counts: a key, then a number too large.
  const Outcome fits = answer('5' + longest.substr(1) + "\n" + longest + "\n80\n25\n1\n");
  expect_answered(fits, 80, 25, 10, 100000);
  EXPECT_EQ(fits.printed, banner + screen_menu + width_prompt + "Wrong width.\n" + width_prompt +
                              height_prompt + rate_menu);
  // One more character ends the dialogue, at a menu and in a number, and
  // reading stops there: an endless line is not read to its end.
  for (const std::string& before : {std::string(), std::string("5\n")}) {
    InputStream in(before + longest + std::string(100000, '1') + "\n1\n1\n");
    MemoryStream out;
    IntroSettings settings;
    EXPECT_EQ(dialogue_run(silent_variant, in.stream(), out.stream(), &settings),
              DialogueResult::answer_too_long);
    EXPECT_EQ(std::ftell(in.stream()), static_cast<long>(before.size() + longest.size() + 1));
  }
}

TEST(Dialogue, AReadErrorIsToldApartFromTheEnd) {
  // Reading a directory fails at the first character.
  FILE* directory = std::fopen("/", "r");
  ASSERT_NE(directory, nullptr);
  MemoryStream out;
  IntroSettings settings;
  EXPECT_EQ(dialogue_run(silent_variant, directory, out.stream(), &settings),
            DialogueResult::input_failed);
  std::fclose(directory);
}

}  // namespace
