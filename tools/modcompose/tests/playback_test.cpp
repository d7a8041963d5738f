// The composed module played through the real libmikmod, rendered by its
// WAV disk writer into a temporary directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "tools/modcompose/src/arrange.h"
#include "tools/modcompose/src/score.h"
#include "tools/modcompose/tests/mikmod_render.h"
#include "tools/modcompose/tests/temp_dir.h"

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

TEST_F(Playback, LastSoundFadesIntoTheSongsEnd) {
  // The last note dies away just as the song ends, so the restart follows
  // the music closely and cuts no loud note.
  const Rendering rendering = render();
  const double length = song_seconds(blumot_song());
  EXPECT_GT(rms_between(rendering, length - 0.5, length), silence_rms);
  EXPECT_LT(rms_between(rendering, length - 0.5, length), rms_between(rendering, 0, length) / 4);
}

// Where a section plays, in seconds from the song's start.
std::pair<double, double> section_time(const Song& song, std::string_view name) {
  const double pattern_seconds =
      rows_per_pattern * song.ticks_per_row * 2.5 / song.beats_per_minute;
  double start = 0.0;
  for (const Section& section : song.form) {
    const double end = start + pattern_seconds * static_cast<double>(section.patterns.size());
    if (section.name == name) return {start, end};
    start = end;
  }
  return {0.0, 0.0};
}

double decibels(double ratio) {
  return 20.0 * std::log10(ratio);
}

TEST_F(Playback, BreakdownAndBuildAreHeard) {
  const Rendering rendering = render();
  const Song& song = blumot_song();
  const double bar_seconds = 16 * song.ticks_per_row * 2.5 / song.beats_per_minute;
  std::vector<double> bars;
  for (double at = 0.0; at + bar_seconds <= song_seconds(song) + 0.01; at += bar_seconds)
    bars.push_back(decibels(rms_between(rendering, at, at + bar_seconds)));
  std::vector<double> sorted = bars;
  std::sort(sorted.begin(), sorted.end());
  const auto percentile = [&sorted](double p) {
    return sorted[static_cast<std::size_t>(p * static_cast<double>(sorted.size()))];
  };
  EXPECT_GE(percentile(0.9) - percentile(0.1), 6.0) << "loudest against quietest bars";

  const auto [theme_start, theme_end] = section_time(song, "theme");
  const auto [breakdown_start, breakdown_end] = section_time(song, "breakdown");
  const auto [build_start, build_end] = section_time(song, "build");
  const double theme = decibels(rms_between(rendering, theme_start, theme_end));
  EXPECT_LE(decibels(rms_between(rendering, breakdown_start, breakdown_end)), theme - 6.0);
  const double build_first =
      decibels(rms_between(rendering, build_start, build_start + bar_seconds));
  const double build_last = decibels(rms_between(rendering, build_end - bar_seconds, build_end));
  EXPECT_GE(build_last - build_first, 3.0) << "the build grows";
}

TEST_F(Playback, EveryChannelIsHeard) {
  // Each channel alone over the whole song, against the loudest: none has
  // gone silent or sunk far under the others. The balance itself is the
  // business of scripts/measure-mix.sh.
  const double length = song_seconds(blumot_song());
  std::vector<double> levels;
  for (int32_t channel = 0; channel < channel_count; ++channel) {
    const Rendering alone = render_module(module_file(), wav_file(), update_limit, channel);
    levels.push_back(decibels(std::max(rms_between(alone, 0.0, length), 1.0)));
  }
  const double loudest = *std::max_element(levels.begin(), levels.end());
  for (int32_t channel = 0; channel < channel_count; ++channel) {
    EXPECT_GE(levels[static_cast<std::size_t>(channel)], loudest - 10.0) << "channel " << channel;
  }
}

// The mix as one channel (the mean of left and right), high-passed at
// cutoff_hz by four cascaded biquads (48 dB per octave).
std::vector<double> high_passed(const Rendering& rendering, double cutoff_hz) {
  const double w = 2.0 * 3.14159265358979 * cutoff_hz / rendering.frames_per_second;
  const double alpha = std::sin(w) / (2.0 * 0.7071);
  const double a0 = 1.0 + alpha;
  const double b0 = (1.0 + std::cos(w)) / 2.0 / a0;
  const double b1 = -(1.0 + std::cos(w)) / a0;
  const double a1 = -2.0 * std::cos(w) / a0;
  const double a2 = (1.0 - alpha) / a0;
  std::array<std::array<double, 4>, 4> state{};  // x1, x2, y1, y2 per stage
  std::vector<double> out;
  for (std::size_t i = 0; i + 1 < rendering.samples.size(); i += 2) {
    double x = (rendering.samples[i] + rendering.samples[i + 1]) / 2.0;
    for (auto& [x1, x2, y1, y2] : state) {
      const double y = b0 * x + b1 * x1 + b0 * x2 - a1 * y1 - a2 * y2;
      x2 = x1;
      x1 = x;
      y2 = y1;
      y1 = y;
      x = y;
    }
    out.push_back(x);
  }
  return out;
}

double rms_of(const std::vector<double>& signal, int32_t rate, double from, double to) {
  const auto first = static_cast<std::size_t>(std::max(from, 0.0) * rate);
  const auto last = std::min(static_cast<std::size_t>(std::max(to, 0.0) * rate), signal.size());
  double sum = 0.0;
  for (std::size_t i = first; i < last; ++i) sum += signal[i] * signal[i];
  return last > first ? std::sqrt(sum / static_cast<double>(last - first)) : 0.0;
}

double energy_above_12khz_db(const Rendering& rendering) {
  double total = 0.0;
  for (std::size_t i = 0; i + 1 < rendering.samples.size(); i += 2) {
    const double x = (rendering.samples[i] + rendering.samples[i + 1]) / 2.0;
    total += x * x;
  }
  double high = 0.0;
  for (const double x : high_passed(rendering, 12000.0)) high += x * x;
  return 10.0 * std::log10(high / total);
}

TEST_F(Playback, LittleEnergyAboveTwelveKilohertz) {
  // The interpolating mixer leaves no haze of aliasing over the hi-hats.
  EXPECT_LE(energy_above_12khz_db(render()), -30.0);
}

// The moments a channel's notes start or stop, in seconds: at their row,
// or the ticks into it that a note delay or a note cut names.
std::vector<double> note_edges(const Song& song, int32_t channel) {
  const Module module = arrange(song);
  const double tick = 2.5 / song.beats_per_minute;
  std::vector<double> edges;
  double row_start = 0.0;
  for (const uint8_t position : module.order) {
    for (const Row& row : module.patterns[position].rows) {
      const Cell& cell = row[static_cast<std::size_t>(channel)];
      const bool extended = cell.effect == effect_extended;
      const double ticks = extended && (cell.param >> 4 == extended_note_delay ||
                                        cell.param >> 4 == extended_note_cut)
                               ? cell.param & 0xF
                               : 0;
      const bool starts = cell.period != 0 && cell.effect != effect_portamento;
      if (starts || cell_stops(cell)) edges.push_back(row_start + ticks * tick);
      row_start += song.ticks_per_row * tick;
    }
  }
  return edges;
}

TEST_F(Playback, NoClickWhereNotesStartOrStop) {
  // A click is a burst of high frequencies at a note's edge, louder than
  // the voice itself sounds there; each pitched voice is heard alone.
  const Song& song = blumot_song();
  for (const int32_t channel : {bass_channel, lead_channel, chord_channel}) {
    const Rendering rendering = render_module(module_file(), wav_file(), update_limit, channel);
    const int32_t rate = rendering.frames_per_second;
    const std::vector<double> high = high_passed(rendering, 5000.0);
    for (const double edge : note_edges(song, channel)) {
      const double burst = rms_of(high, rate, edge - 0.002, edge + 0.004);
      const double own = std::max(rms_of(high, rate, edge - 0.05, edge - 0.005),
                                  rms_of(high, rate, edge + 0.005, edge + 0.05));
      if (burst < 2.0) continue;  // below -84 dB: nothing to hear
      EXPECT_LE(decibels(burst / std::max(own, 1.0)), 6.0)
          << "channel " << channel << " at " << edge << " s";
    }
  }
}

}  // namespace
