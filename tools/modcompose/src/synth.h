// Sound synthesis primitives for the instruments.
//
// Everything here uses only addition, multiplication, division, square root
// and rounding, which IEEE arithmetic defines exactly; sine and exponential
// are computed by our own series instead of the C library's. So the samples,
// and with them the module file, come out byte for byte the same whatever
// math library the composer is linked against.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace modcompose::synth {

inline constexpr double pi = 3.14159265358979323846;

// sin(2 * pi * turns), accurate to about 1e-12.
double sine_turns(double turns);

// e raised to x, for |x| up to a few hundred.
double exponential(double x);

// Amplitude of an exponential decay with time constant tau after t seconds.
inline double decay(double t, double tau) {
  return exponential(-t / tau);
}

// Uniform white noise in [-1, 1) from a fixed seed (xorshift32), so every
// build draws the same noise.
class Noise {
 public:
  explicit Noise(uint32_t seed) : state_(seed == 0 ? 1 : seed) {}
  double next();

 private:
  uint32_t state_;
};

// One-pole low-pass filter: smooths the input with a cutoff in Hz.
class Lowpass {
 public:
  Lowpass(double cutoff_hz, double rate_hz);
  double process(double input);

 private:
  double coefficient_;
  double state_ = 0.0;
};

// One-pole high-pass filter: the input minus its low-passed part.
class Highpass {
 public:
  Highpass(double cutoff_hz, double rate_hz) : lowpass_(cutoff_hz, rate_hz) {}
  double process(double input) {
    return input - lowpass_.process(input);
  }

 private:
  Lowpass lowpass_;
};

// One cycle of a band-limited waveform, phase in turns [0, 1). The waves
// are sums of harmonics up to `harmonics`, each weighted by a gentle
// low-pass curve around the harmonic number `brightness`, so that a short
// looped cycle neither aliases nor sounds harsh.
double saw_wave(double phase, int32_t harmonics, double brightness);
double pulse_wave(double phase, double duty, int32_t harmonics, double brightness);

// Scales a waveform so that its largest magnitude becomes 127 and rounds it
// to signed 8-bit. Using -127..127 keeps the wave symmetric.
std::vector<int8_t> to_8bit(std::span<const double> wave);

}  // namespace modcompose::synth
