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
struct Noise {
  uint32_t state = 1;
};
Noise noise_seeded(uint32_t seed);
double noise_next(Noise& noise);

// One-pole low-pass filter: smooths the input with a cutoff in Hz.
struct Lowpass {
  double coefficient = 1.0;
  double state = 0.0;
};
Lowpass lowpass_at(double cutoff_hz, double rate_hz);
double lowpass_process(Lowpass& filter, double input);

// One-pole high-pass filter: the input minus its low-passed part.
struct Highpass {
  Lowpass lowpass;
};
inline Highpass highpass_at(double cutoff_hz, double rate_hz) {
  return Highpass{lowpass_at(cutoff_hz, rate_hz)};
}
inline double highpass_process(Highpass& filter, double input) {
  return input - lowpass_process(filter.lowpass, input);
}

// A soft saturation that rounds peaks off instead of cutting them: odd
// harmonics appear as the input grows, so a low drum gains overtones that
// small speakers play. Close to tanh, flat at +-1 beyond +-3.
double soft_clip(double x);

// One cycle of a band-limited waveform, phase in turns [0, 1). The waves
// are sums of harmonics up to `harmonics`, each weighted by a gentle
// low-pass curve around the harmonic number `brightness`, so that a short
// looped cycle neither aliases nor sounds harsh.
double saw_wave(double phase, int32_t harmonics, double brightness);
double pulse_wave(double phase, double duty, int32_t harmonics, double brightness);

// Scales a waveform so that its largest magnitude becomes 127 and rounds it
// to signed 8-bit. Using -127..127 keeps the wave symmetric.
std::vector<int8_t> to_8bit(std::span<const double> wave);
