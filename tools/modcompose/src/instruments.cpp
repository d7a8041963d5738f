#include "tools/modcompose/src/instruments.h"

#include <stdexcept>

#include "tools/modcompose/src/synth.h"

namespace {

// A looped sample: `attack` followed by `loop`, the loop repeating until
// the note is released or replaced.
Sample looped(const char* name, const std::vector<double>& attack, const std::vector<double>& loop,
              uint8_t volume) {
  std::vector<double> wave = attack;
  wave.insert(wave.end(), loop.begin(), loop.end());
  Sample sample;
  sample.name = name;
  sample.data = to_8bit(wave);
  sample.loop_start = static_cast<uint32_t>(attack.size());
  sample.loop_length = static_cast<uint32_t>(loop.size());
  sample.volume = volume;
  return sample;
}

// A one-shot sample. The format wants its first two bytes zero (the Amiga
// replays them after the end), and its length in whole words. The last
// milliseconds fade to zero so the cut at the end does not click.
Sample one_shot(const char* name, std::vector<double> wave, double rate, uint8_t volume) {
  const auto fade = static_cast<std::size_t>(rate * 0.004);
  for (std::size_t i = 0; i < fade && i < wave.size(); ++i) {
    wave[wave.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(fade);
  }
  wave.insert(wave.begin(), {0.0, 0.0});
  if (wave.size() % 2 != 0) wave.push_back(0.0);
  Sample sample;
  sample.name = name;
  sample.data = to_8bit(wave);
  sample.volume = volume;
  return sample;
}

std::size_t length_in_bytes(double seconds, double rate) {
  return static_cast<std::size_t>(seconds * rate);
}

}  // namespace

Note drum_note(Instrument drum) {
  switch (drum) {
    case Instrument::kick:
    case Instrument::snare:
      return parse_note("C-3");
    case Instrument::hihat:
    case Instrument::open_hihat:
      // Played higher than the other drums: the higher byte rate
      // leaves room for the cymbal's top end.
      return parse_note("A-3");
    default:
      throw std::invalid_argument("not a drum");
  }
}

namespace {

// The bass's filter and level along its sweep, t from 0 to 1: bright and
// loud at the pluck, closing to a dark, round tone of a few harmonics.
double bass_brightness(double t) {
  return 4.0 + 26.0 * decay(t, 0.3);
}
double bass_level(double t) {
  return 0.7 + 0.3 * decay(t, 0.3);
}

std::vector<double> bass_cycle_at(double t) {
  std::vector<double> cycle;
  for (int32_t i = 0; i < bass_cycle; ++i) {
    cycle.push_back(bass_level(t) *
                    saw_wave(static_cast<double>(i) / bass_cycle, 31, bass_brightness(t)));
  }
  return cycle;
}

}  // namespace

// Bass: a sawtooth whose filter closes slowly over its first 64 cycles.
// A note played from the start plucks; a note started at a sample offset
// (the bass style's dark_offset) begins further along the sweep, darker and softer.
Sample make_bass() {
  constexpr int32_t sweep_cycles = 64;
  std::vector<double> attack;
  for (int32_t cycle = 0; cycle < sweep_cycles; ++cycle) {
    const std::vector<double> wave = bass_cycle_at(static_cast<double>(cycle) / sweep_cycles);
    attack.insert(attack.end(), wave.begin(), wave.end());
  }
  return looped("bass: swept saw", attack, bass_cycle_at(1.0), 60);
}

namespace {

// Width of the lead's main pulse along its loop: a triangle 0.5 -> 0.25 ->
// 0.5, so the loop's end meets its start.
double lead_duty(double position) {
  return 0.5 - 0.25 * (position < 0.5 ? 2.0 * position : 2.0 - 2.0 * position);
}

}  // namespace

// Lead: two pulse waves, the second tuned one cycle in 128 sharp (about 13
// cents), so held notes beat slowly like two players in near unison; the
// first also sweeps its width. The loop holds whole cycles of both.
Sample make_lead() {
  constexpr int32_t attack_cycles = 4;
  constexpr int32_t loop_cycles = 128;
  constexpr double detune = (loop_cycles + 1.0) / loop_cycles;
  constexpr double brightness = 9.0;
  std::vector<double> attack;
  std::vector<double> loop;
  for (int32_t i = 0; i < (attack_cycles + loop_cycles) * lead_cycle; ++i) {
    const int32_t cycle = i / lead_cycle;
    const double main_phase = static_cast<double>(i % lead_cycle) / lead_cycle;
    const double second_phase = static_cast<double>(i) * detune / lead_cycle;
    const double position = static_cast<double>(cycle - attack_cycles) / loop_cycles;
    const double duty = cycle < attack_cycles ? 0.5 : lead_duty(position);
    const double level = cycle < attack_cycles ? 0.55 + 0.45 * (cycle + 1) / attack_cycles : 1.0;
    const double value = 0.6 * pulse_wave(main_phase, duty, 15, brightness) +
                         0.4 * pulse_wave(second_phase, 0.4, 15, brightness);
    (cycle < attack_cycles ? attack : loop).push_back(level * value);
  }
  return looped("lead: detuned pulses", attack, loop, lead_volume);
}

// Chords: a thin quarter-width pulse, the classic voice for tracker
// arpeggios; its bright edge keeps the fast note changes distinct.
Sample make_chords() {
  constexpr int32_t attack_cycles = 4;
  std::vector<double> attack;
  for (int32_t cycle = 0; cycle < attack_cycles; ++cycle) {
    const double brightness = 14.0 - 1.0 * cycle;
    for (int32_t i = 0; i < chords_cycle; ++i) {
      attack.push_back(pulse_wave(static_cast<double>(i) / chords_cycle, 0.25, 15, brightness));
    }
  }
  std::vector<double> loop;
  for (int32_t i = 0; i < chords_cycle; ++i) {
    loop.push_back(pulse_wave(static_cast<double>(i) / chords_cycle, 0.25, 15, 10.0));
  }
  return looped("chords: pulse 25%", attack, loop, 26);
}

// Kick: a sine whose pitch drops quickly from about 160 Hz to 45 Hz, with
// a short burst of filtered noise for the beater's click.
Sample make_kick() {
  const double rate = playback_rate_of(drum_note(Instrument::kick));
  Noise noise = noise_seeded(0x6b69636b);
  Lowpass click_filter = lowpass_at(3000.0, rate);
  std::vector<double> wave;
  double phase = 0.0;
  const std::size_t length = length_in_bytes(0.32, rate);
  for (std::size_t i = 0; i < length; ++i) {
    const double t = static_cast<double>(i) / rate;
    const double frequency = 45.0 + 115.0 * decay(t, 0.03);
    phase += frequency / rate;
    const double body = sine_turns(phase) * decay(t, 0.12);
    const double click = lowpass_process(click_filter, noise_next(noise)) * decay(t, 0.004);
    wave.push_back(body + 0.6 * click);
  }
  return one_shot("kick: swept sine", wave, rate, 64);
}

// Snare: band-limited noise for the wires over a short 190 Hz tone for the
// drum head.
Sample make_snare() {
  const double rate = playback_rate_of(drum_note(Instrument::snare));
  Noise noise = noise_seeded(0x736e6172);
  Highpass low_cut = highpass_at(900.0, rate);
  Lowpass high_cut = lowpass_at(6000.0, rate);
  std::vector<double> wave;
  double phase = 0.0;
  const std::size_t length = length_in_bytes(0.22, rate);
  for (std::size_t i = 0; i < length; ++i) {
    const double t = static_cast<double>(i) / rate;
    phase += (190.0 - 30.0 * (1.0 - decay(t, 0.05))) / rate;
    const double head = sine_turns(phase) * decay(t, 0.045);
    const double wires =
        lowpass_process(high_cut, highpass_process(low_cut, noise_next(noise))) * decay(t, 0.065);
    wave.push_back(0.7 * head + 1.4 * wires);
  }
  return one_shot("snare: noise and tone", wave, rate, 50);
}

namespace {

// Cymbal noise: white noise through two high-pass stages, leaving only the
// hiss above about 6 kHz, with an exponential decay of time constant tau.
std::vector<double> cymbal(double seconds, double tau, double rate, uint32_t seed) {
  Noise noise = noise_seeded(seed);
  Highpass first = highpass_at(6000.0, rate);
  Highpass second = highpass_at(6000.0, rate);
  std::vector<double> wave;
  const std::size_t length = length_in_bytes(seconds, rate);
  for (std::size_t i = 0; i < length; ++i) {
    const double t = static_cast<double>(i) / rate;
    wave.push_back(highpass_process(second, highpass_process(first, noise_next(noise))) *
                   decay(t, tau));
  }
  return wave;
}

}  // namespace

Sample make_hihat() {
  const double rate = playback_rate_of(drum_note(Instrument::hihat));
  return one_shot("hihat: closed", cymbal(0.07, 0.016, rate, 0x68617431), rate, 24);
}

Sample make_open_hihat() {
  const double rate = playback_rate_of(drum_note(Instrument::open_hihat));
  return one_shot("hihat: open", cymbal(0.40, 0.11, rate, 0x68617432), rate, 20);
}

std::vector<Sample> make_instruments() {
  return {make_bass(),  make_lead(),  make_chords(),    make_kick(),
          make_snare(), make_hihat(), make_open_hihat()};
}
