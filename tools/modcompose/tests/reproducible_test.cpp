// The module is generated at build time; the same source must give the same
// bytes on every run and every build.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tools/modcompose/src/arrange.h"
#include "tools/modcompose/src/piano_roll.h"
#include "tools/modcompose/src/score.h"
#include "tools/modcompose/tests/temp_dir.h"

namespace {

int run_composer(const std::filesystem::path& output) {
  const std::string command =
      std::string("'") + COMPOSE_MODULE_PATH + "' '" + output.string() + "'";
  return std::system(command.c_str());
}

TEST(Reproducible, TwoRunsOfTheComposerWriteIdenticalFiles) {
  const TempDir dir;
  ASSERT_EQ(run_composer(dir / "first.mod"), 0);
  ASSERT_EQ(run_composer(dir / "second.mod"), 0);
  const std::vector<uint8_t> first = read_file(dir / "first.mod");
  ASSERT_GT(first.size(), 1084u);
  EXPECT_TRUE(first == read_file(dir / "second.mod"));
}

TEST(Reproducible, ComposerWritesTheLibrarysBytes) {
  const TempDir dir;
  ASSERT_EQ(run_composer(dir / "blumot.mod"), 0);
  EXPECT_TRUE(read_file(dir / "blumot.mod") == compose(blumot_song()));
}

TEST(Reproducible, BuiltModuleIsUpToDate) {
  // The build's own copy, from which `intro` plays.
  EXPECT_TRUE(read_file(BUILT_MODULE_PATH) == compose(blumot_song())) << BUILT_MODULE_PATH;
}

TEST(Reproducible, PianoRollShowsTheScore) {
  // The picture beside the README's lines on the tune.
  const std::vector<uint8_t> committed = read_file(PIANO_ROLL_PATH);
  const std::string drawn = piano_roll_svg(blumot_song());
  EXPECT_TRUE(std::string(committed.begin(), committed.end()) == drawn)
      << PIANO_ROLL_PATH << " is out of date: bash scripts/piano-roll.sh draws it again";
}

}  // namespace
