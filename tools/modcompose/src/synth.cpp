#include "tools/modcompose/src/synth.h"

#include <cmath>

namespace {

// Weight of harmonic k under a two-pole low-pass response centred on
// harmonic `brightness`.
double harmonic_weight(int32_t k, double brightness) {
  const double ratio = k / brightness;
  return 1.0 / std::sqrt(1.0 + ratio * ratio * ratio * ratio);
}

double cosine_turns(double turns) {
  return sine_turns(turns + 0.25);
}

}  // namespace

double sine_turns(double turns) {
  // Reduce to x in [-0.25, 0.25] turns, where the odd Taylor series of the
  // sine converges fast, using sin(0.5 - x) = sin(x).
  double x = turns - std::floor(turns);
  if (x >= 0.5) x -= 1.0;
  if (x > 0.25) x = 0.5 - x;
  if (x < -0.25) x = -0.5 - x;
  const double a = 2.0 * pi * x;
  const double a2 = a * a;
  double term = a;
  double sum = a;
  for (int32_t n = 1; n <= 9; ++n) {
    term *= -a2 / ((2.0 * n) * (2.0 * n + 1.0));
    sum += term;
  }
  return sum;
}

double exponential(double x) {
  // Halve the argument until the Taylor series is short, then square the
  // result back up.
  int32_t halvings = 0;
  while (std::fabs(x) > 0.125) {
    x *= 0.5;
    ++halvings;
  }
  double term = 1.0;
  double sum = 1.0;
  for (int32_t n = 1; n <= 12; ++n) {
    term *= x / n;
    sum += term;
  }
  for (int32_t i = 0; i < halvings; ++i) sum *= sum;
  return sum;
}

Noise noise_seeded(uint32_t seed) {
  return Noise{seed == 0 ? 1 : seed};
}

double noise_next(Noise& noise) {
  noise.state ^= noise.state << 13;
  noise.state ^= noise.state >> 17;
  noise.state ^= noise.state << 5;
  return static_cast<double>(noise.state) / 2147483648.0 - 1.0;
}

Lowpass lowpass_at(double cutoff_hz, double rate_hz) {
  return Lowpass{1.0 - exponential(-2.0 * pi * cutoff_hz / rate_hz), 0.0};
}

double lowpass_process(Lowpass& filter, double input) {
  filter.state += filter.coefficient * (input - filter.state);
  return filter.state;
}

double soft_clip(double x) {
  if (x >= 3.0) return 1.0;
  if (x <= -3.0) return -1.0;
  // The Pade approximant of tanh, which meets +-1 at +-3.
  return x * (27.0 + x * x) / (27.0 + 9.0 * x * x);
}

double saw_wave(double phase, int32_t harmonics, double brightness) {
  double sum = 0.0;
  for (int32_t k = 1; k <= harmonics; ++k) {
    const double sign = (k % 2 == 1) ? 1.0 : -1.0;
    sum += sign * harmonic_weight(k, brightness) * sine_turns(k * phase) / k;
  }
  return sum;
}

double pulse_wave(double phase, double duty, int32_t harmonics, double brightness) {
  // Fourier series of a pulse that is high for `duty` of the cycle,
  // without its constant part.
  double sum = 0.0;
  for (int32_t k = 1; k <= harmonics; ++k) {
    const double amplitude = sine_turns(0.5 * k * duty) / k;
    sum += amplitude * harmonic_weight(k, brightness) * cosine_turns(k * (phase - 0.5 * duty));
  }
  return sum;
}

std::vector<int8_t> to_8bit(std::span<const double> wave) {
  double peak = 0.0;
  for (const double value : wave) peak = std::fmax(peak, std::fabs(value));
  const double scale = peak > 0.0 ? 127.0 / peak : 0.0;
  std::vector<int8_t> bytes;
  bytes.reserve(wave.size());
  for (const double value : wave) {
    bytes.push_back(static_cast<int8_t>(std::lround(value * scale)));
  }
  return bytes;
}
