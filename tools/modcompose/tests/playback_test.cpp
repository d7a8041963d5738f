// The composed module played through the real libmikmod, rendered by its
// WAV disk writer into a temporary directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "arrange.h"
#include "mikmod_render.h"
#include "score.h"
#include "temp_dir.h"

namespace {

// Far more updates than the song needs (about 186 ms each): a module that
// never ends stops the render here instead of hanging the test.
constexpr int32_t update_limit = 1000;

// Below this a stretch of the mix counts as silent: about -40 dB under
// full scale, far under any of the instruments at their quietest.
constexpr double silence_rms = 327.0;

class Playback : public ::testing::Test {
 protected:
  void SetUp() override {
    write_file(module_file(), compose(blumot_song()));
  }

  std::filesystem::path module_file() const {
    return dir_ / "blumot.mod";
  }
  std::filesystem::path wav_file() const {
    return dir_ / "render.wav";
  }
  Rendering render() const {
    return render_module(module_file(), wav_file(), update_limit);
  }

 private:
  TempDir dir_;
};

// Root mean square of both channels over [from, to) seconds.
double rms_between(const Rendering& rendering, double from, double to) {
  const auto first =
      static_cast<std::size_t>(from * rendering.frames_per_second) * rendering.channels;
  const auto last =
      std::min(static_cast<std::size_t>(to * rendering.frames_per_second) * rendering.channels,
               rendering.samples.size());
  double sum = 0.0;
  for (std::size_t i = first; i < last; ++i)
    sum += static_cast<double>(rendering.samples[i]) * rendering.samples[i];
  return last > first ? std::sqrt(sum / static_cast<double>(last - first)) : 0.0;
}

TEST_F(Playback, LoadsWithFourChannelsAndTheComposedPositions) {
  const ModuleInfo info = load_module(module_file(), wav_file());
  EXPECT_EQ(info.channels, 4);
  EXPECT_EQ(info.positions, static_cast<int32_t>(order_list(blumot_song()).size()));
  EXPECT_EQ(info.title, blumot_song().title);
}

TEST_F(Playback, FirstSixteenSecondsHaveNoSilentSecondNorAnyBreak) {
  const Rendering rendering = render();
  ASSERT_EQ(rendering.channels, 2);
  ASSERT_GE(rendering.samples.size() / 2,
            16u * static_cast<std::size_t>(rendering.frames_per_second));
  for (int32_t second = 0; second < 16; ++second) {
    EXPECT_GT(rms_between(rendering, second, second + 1), silence_rms) << "second " << second;
  }
  // Finer than whole seconds: no gap of a twentieth of a second either,
  // because a voice holds sound from the first row on.
  for (int32_t slice = 0; slice < 16 * 20; ++slice) {
    EXPECT_GT(rms_between(rendering, slice / 20.0, (slice + 1) / 20.0), silence_rms)
        << "at " << slice / 20.0 << " s";
  }
}

TEST_F(Playback, NoSampleClips) {
  const Rendering rendering = render();
  ASSERT_TRUE(rendering.ended);
  const auto [low, high] = std::minmax_element(rendering.samples.begin(), rendering.samples.end());
  // libmikmod clamps its mix to the 16-bit range: a sample at either end
  // is one that clipped.
  EXPECT_GT(*low, -32768);
  EXPECT_LT(*high, 32767);
  // And the mix is not merely quiet: it uses a fair part of the range.
  EXPECT_GT(std::max(-static_cast<int32_t>(*low), static_cast<int32_t>(*high)), 32767 / 3);
}

TEST_F(Playback, PlayerStopsAtTheComposedLengthWithinOneUpdate) {
  const Rendering rendering = render();
  ASSERT_TRUE(rendering.ended) << "still playing after " << update_limit << " updates";
  const double length = song_seconds(blumot_song());
  const double update = rendering.seconds_per_update();
  EXPECT_NEAR(update, 0.186, 0.01) << "the disk writer mixes a fixed block per update";
  EXPECT_NEAR(rendering.updates * update, length, update);
  EXPECT_NEAR(rendering.song_seconds, length, update);
}

TEST_F(Playback, EndingFadesOutBeforeTheSongStops) {
  // The last notes die away inside the last pattern, so the restart that
  // follows the end does not cut a sounding note.
  const Rendering rendering = render();
  const double length = song_seconds(blumot_song());
  EXPECT_GT(rms_between(rendering, length - 8.0, length - 4.0), 10 * silence_rms)
      << "the ending plays";
  EXPECT_LT(rms_between(rendering, length - 0.5, length), silence_rms / 10);
}

}  // namespace