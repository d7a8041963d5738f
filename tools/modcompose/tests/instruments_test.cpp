#include "tools/modcompose/src/instruments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <utility>

#include "tools/modcompose/src/arrange.h"
#include "tools/modcompose/src/kit.h"
#include "tools/modcompose/src/synth.h"

namespace {

TEST(Synth, SineAndExponentialMatchTheLibrary) {
  for (int32_t i = -2000; i <= 2000; ++i) {
    const double turns = i / 997.0;
    EXPECT_NEAR(sine_turns(turns), std::sin(2.0 * pi * turns), 1e-12) << turns;
  }
  for (int32_t i = -400; i <= 40; ++i) {
    const double x = i / 10.0;
    EXPECT_NEAR(exponential(x) / std::exp(x), 1.0, 1e-12) << x;
  }
}

TEST(Synth, NoiseIsSeededAndUniform) {
  Noise a = noise_seeded(42);
  Noise b = noise_seeded(42);
  double sum = 0.0;
  for (int32_t i = 0; i < 10000; ++i) {
    const double value = noise_next(a);
    ASSERT_EQ(value, noise_next(b));
    ASSERT_GE(value, -1.0);
    ASSERT_LT(value, 1.0);
    sum += value;
  }
  EXPECT_NEAR(sum / 10000, 0.0, 0.05);
}

TEST(Synth, EightBitConversionUsesTheFullSymmetricRange) {
  const std::vector<double> wave{0.0, 0.5, -2.0, 1.0};
  EXPECT_EQ(to_8bit(wave), (std::vector<int8_t>{0, 32, -127, 64}));
  EXPECT_EQ(to_8bit(std::vector<double>{0.0, 0.0}), (std::vector<int8_t>{0, 0}));
}

int32_t peak_of(const std::vector<int8_t>& data, std::size_t from, std::size_t to) {
  int32_t peak = 0;
  for (std::size_t i = from; i < to; ++i)
    peak = std::max(peak, std::abs(static_cast<int32_t>(data[i])));
  return peak;
}

TEST(Instruments, VoicesAndKitInSampleOrder) {
  const std::vector<Sample> samples = make_instruments();
  ASSERT_EQ(samples.size(), instrument_count);
  const std::vector<std::pair<Instrument, std::string>> voices{
      {Instrument::bass, "bass"},
      {Instrument::lead, "lead"},
      {Instrument::chords, "chords"},
      {Instrument::descant, "descant"},
  };
  for (const auto& [instrument, name] : voices) {
    const Sample& sample = samples[sample_number(instrument) - 1u];
    EXPECT_EQ(sample.name.substr(0, name.size()), name);
    EXPECT_TRUE(sample.loops()) << name;
  }
  for (const KitDrum& drum : kit) {
    const Sample& sample = samples[sample_number(drum) - 1u];
    EXPECT_EQ(sample.data, drum.make().data) << drum.name;
  }
  for (const Sample& sample : samples) {
    EXPECT_LE(sample.name.size(), static_cast<std::size_t>(sample_name_size)) << sample.name;
    EXPECT_EQ(sample.data.size() % 2, 0u) << sample.name;
    EXPECT_EQ(peak_of(sample.data, 0, sample.data.size()), 127) << sample.name << " is normalised";
    EXPECT_GT(sample.volume, 0) << sample.name;
    EXPECT_LE(sample.volume, 64) << sample.name;
  }
}

// A pitched sample's loop must hold whole cycles, or every loop pass would
// bend the pitch; and it must join without a jump, or it would buzz.
void expect_seamless_loop(const Sample& sample, int32_t cycle) {
  ASSERT_TRUE(sample.loops()) << sample.name;
  EXPECT_EQ(sample.loop_start % static_cast<uint32_t>(cycle), 0u) << sample.name;
  EXPECT_EQ(sample.loop_length % static_cast<uint32_t>(cycle), 0u) << sample.name;
  EXPECT_EQ(sample.loop_start + sample.loop_length, sample.data.size()) << sample.name;
  const int32_t last = sample.data.back();
  const int32_t first = sample.data[sample.loop_start];
  int32_t largest_step = 0;
  for (std::size_t i = sample.loop_start + 1; i < sample.data.size(); ++i) {
    largest_step = std::max(largest_step, std::abs(sample.data[i] - sample.data[i - 1]));
  }
  EXPECT_LE(std::abs(first - last), largest_step) << sample.name;
}

TEST(Instruments, PitchedInstrumentsLoopWholeCycles) {
  expect_seamless_loop(make_bass(), bass_cycle);
  expect_seamless_loop(make_lead(), lead_cycle);
  expect_seamless_loop(make_chords(), chords_cycle);
  expect_seamless_loop(make_descant(), descant_cycle);
}

TEST(Instruments, DrumsAreOneShotsThatDieAway) {
  for (const KitDrum& row : kit) {
    const Sample drum = row.make();
    EXPECT_FALSE(drum.loops()) << drum.name;
    ASSERT_GT(drum.data.size(), 100u) << drum.name;
    EXPECT_EQ(drum.data[0], 0) << drum.name;
    EXPECT_EQ(drum.data[1], 0) << drum.name;
    const std::size_t size = drum.data.size();
    EXPECT_LT(peak_of(drum.data, size - size / 10, size), 127 / 4)
        << drum.name << " still loud at its end";
    EXPECT_LE(std::abs(drum.data.back()), 1) << drum.name << " ends with a click";
  }
}

// Share of a drum's energy between two frequencies, by a plain discrete
// Fourier transform of the sample at the rate it is played.
double energy_share(const Sample& drum, double rate, double low_hz, double high_hz) {
  const auto size = drum.data.size();
  double total = 0.0;
  for (const int8_t value : drum.data) total += static_cast<double>(value) * value;
  double inside = 0.0;
  for (std::size_t bin = 1; bin < size / 2; ++bin) {
    const double hz = static_cast<double>(bin) * rate / static_cast<double>(size);
    if (hz < low_hz || hz >= high_hz) continue;
    double re = 0.0;
    double im = 0.0;
    for (std::size_t i = 0; i < size; ++i) {
      const double turns = static_cast<double>(bin * i % size) / static_cast<double>(size);
      re += drum.data[i] * sine_turns(turns + 0.25);
      im += drum.data[i] * sine_turns(turns);
    }
    // Each bin below half the rate stands for itself and its mirror.
    inside += 2.0 * (re * re + im * im) / static_cast<double>(size);
  }
  return inside / total;
}

TEST(Instruments, KickIsHeardOnSmallSpeakers) {
  // Laptop speakers play little below 100 Hz: a kick whose energy all lay
  // there would be lost on them.
  const double rate = playback_rate_of(drum_note());
  EXPECT_GE(energy_share(make_kick(), rate, 100.0, 3000.0), 0.2);
}

// The energy of a stretch of samples at one DFT bin.
double bin_energy(const std::vector<double>& wave, double cycles) {
  double re = 0.0;
  double im = 0.0;
  const auto size = static_cast<double>(wave.size());
  for (std::size_t i = 0; i < wave.size(); ++i) {
    const double turns = cycles * static_cast<double>(i) / size;
    re += wave[i] * sine_turns(turns + 0.25);
    im += wave[i] * sine_turns(turns);
  }
  return 2.0 * (re * re + im * im) / size;
}

// A tom's tail, from 30 ms after its loudest moment, as it sounds played
// at `rate`: its strongest frequency below 1 kHz, and the share of the
// tail's energy within 20 % of it.
std::pair<double, double> settled_pitch(const Sample& tom, double rate) {
  std::size_t loudest = 0;
  for (std::size_t i = 0; i < tom.data.size(); ++i) {
    if (std::abs(tom.data[i]) > std::abs(tom.data[loudest])) loudest = i;
  }
  const std::vector<double> tail(
      tom.data.begin() + static_cast<long>(loudest) + static_cast<long>(0.03 * rate),
      tom.data.end());
  double total = 0.0;
  for (const double value : tail) total += value * value;
  const double bin_hz = rate / static_cast<double>(tail.size());
  std::vector<double> energies;
  for (double cycles = 1.0; cycles * bin_hz < 1000.0; ++cycles) {
    energies.push_back(bin_energy(tail, cycles));
  }
  const auto peak = std::max_element(energies.begin(), energies.end()) - energies.begin();
  const double pitch = static_cast<double>(peak + 1) * bin_hz;
  double near = 0.0;
  for (std::size_t bin = 0; bin < energies.size(); ++bin) {
    const double hz = static_cast<double>(bin + 1) * bin_hz;
    if (hz >= 0.8 * pitch && hz <= 1.2 * pitch) near += energies[bin];
  }
  return {pitch, near / total};
}

// A tom's pitch is heard as a note: out of the key it clashes with the
// chords under a fill, and a pure sine sounds like a test tone, not a drum.
TEST(Instruments, TomsRingOnNotesOfTheKeyWithASkin) {
  const std::set<int32_t> a_minor{9, 11, 0, 2, 4, 5, 7};
  for (const KitDrum* tom : {&kit_drum("high tom"), &kit_drum("low tom")}) {
    const Sample sample = tom->make();
    for (const DrumToken& slot : tom->tokens) {
      if (slot.token == 0) continue;
      const double rate = playback_rate_of(Note{drum_note().index - slot.down});
      const auto [pitch, near] = settled_pitch(sample, rate);
      const double semitones_from_a = 12.0 * std::log2(pitch / 440.0);
      const auto nearest = static_cast<int32_t>(std::lround(semitones_from_a));
      EXPECT_LT(std::fabs(semitones_from_a - nearest), 0.4) << slot.token << " between notes";
      EXPECT_TRUE(a_minor.contains(((nearest + 9) % 12 + 12) % 12))
          << slot.token << " sounds " << pitch << " Hz";
      EXPECT_LT(near, 0.9) << slot.token << " is a sine";
    }
  }
}

}  // namespace
