#include "tools/modcompose/src/instruments.h"

#include <cmath>
#include <utility>

#include "tools/modcompose/src/kit.h"
#include "tools/modcompose/src/levels.h"
#include "tools/modcompose/src/synth.h"

namespace {

// A looped sample: `attack` followed by `loop`, the loop repeating until
// the note is released or replaced.
Sample looped(const char* name, const std::vector<double>& attack,
              const std::vector<double>& loop) {
  std::vector<double> wave = attack;
  wave.insert(wave.end(), loop.begin(), loop.end());
  Sample sample;
  sample.name = name;
  sample.data = to_8bit(wave);
  sample.loop_start = static_cast<uint32_t>(attack.size());
  sample.loop_length = static_cast<uint32_t>(loop.size());
  return sample;
}

// A one-shot sample. The format wants its first two bytes zero (the Amiga
// replays them after the end), and its length in whole words. The last
// milliseconds fade to zero so the cut at the end does not click.
Sample one_shot(const char* name, std::vector<double> wave, double rate) {
  const auto fade = static_cast<std::size_t>(rate * 0.004);
  for (std::size_t i = 0; i < fade && i < wave.size(); ++i) {
    wave[wave.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(fade);
  }
  wave.insert(wave.begin(), {0.0, 0.0});
  if (wave.size() % 2 != 0) wave.push_back(0.0);
  Sample sample;
  sample.name = name;
  sample.data = to_8bit(wave);
  return sample;
}

std::size_t length_in_bytes(double seconds, double rate) {
  return static_cast<std::size_t>(seconds * rate);
}

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

// Width of the lead's main pulse along its loop: a triangle 0.5 -> 0.35 ->
// 0.5, so the loop's end meets its start. Narrower would thin the
// fundamental enough to be heard as a swell once a loop.
double lead_duty(double position) {
  return 0.5 - 0.15 * (position < 0.5 ? 2.0 * position : 2.0 - 2.0 * position);
}

// Two pulse waves, the second one cycle sharp over the loop: held notes
// beat once a loop, and the loop is long enough (512 cycles of the lead,
// 1 to 2 Hz over its range) for the beat to be a slow chorus rather than a
// warble. The second pulse is a fifth as loud as the first, so the
// fundamental rises and falls by under 6 dB as they beat: a held note
// breathes instead of throbbing. The first also sweeps its width once a
// loop.
Sample detuned_pulses(const char* name, int32_t cycle, int32_t loop_cycles, int32_t harmonics,
                      double brightness) {
  constexpr int32_t attack_cycles = 4;
  const double detune = (loop_cycles + 1.0) / loop_cycles;
  std::vector<double> attack;
  std::vector<double> loop;
  for (int32_t i = 0; i < (attack_cycles + loop_cycles) * cycle; ++i) {
    const int32_t cycle_number = i / cycle;
    const double main_phase = static_cast<double>(i % cycle) / cycle;
    const double second_phase = static_cast<double>(i) * detune / cycle;
    const double position = static_cast<double>(cycle_number - attack_cycles) / loop_cycles;
    const bool attacking = cycle_number < attack_cycles;
    const double duty = attacking ? 0.5 : lead_duty(position);
    const double level = attacking ? 0.55 + 0.45 * (cycle_number + 1) / attack_cycles : 1.0;
    const double value = 0.83 * pulse_wave(main_phase, duty, harmonics, brightness) +
                         0.17 * pulse_wave(second_phase, 0.4, harmonics, brightness);
    (attacking ? attack : loop).push_back(level * value);
  }
  return looped(name, attack, loop);
}

// The byte rate at which every drum is made and played.
double drum_rate() {
  return playback_rate_of(drum_note());
}

std::size_t drum_length(double seconds) {
  return length_in_bytes(seconds, drum_rate());
}

double drum_time(std::size_t i) {
  return static_cast<double>(i) / drum_rate();
}

// Band-limited noise: white noise through a high-pass at low_hz and a
// low-pass at high_hz, each of two poles.
struct BandNoise {
  Noise noise;
  Highpass low_cut[2];
  Lowpass high_cut[2];
};

BandNoise band_noise(uint32_t seed, double low_hz, double high_hz) {
  const double rate = drum_rate();
  return BandNoise{noise_seeded(seed),
                   {highpass_at(low_hz, rate), highpass_at(low_hz, rate)},
                   {lowpass_at(high_hz, rate), lowpass_at(high_hz, rate)}};
}

double band_noise_next(BandNoise& band) {
  double value = noise_next(band.noise);
  for (Highpass& stage : band.low_cut) value = highpass_process(stage, value);
  for (Lowpass& stage : band.high_cut) value = lowpass_process(stage, value);
  return value;
}

// A drum head: a sine whose pitch falls from (1 + bend) times its own to
// it, dying away with time constant tau, driven into soft saturation so
// that its overtones carry it on speakers too small for its fundamental.
struct Head {
  double hz = 100.0;
  double bend = 0.5;
  double bend_tau = 0.04;
  double tau = 0.2;
  double drive = 1.5;
};

std::vector<double> struck_head(const Head& head, double seconds) {
  std::vector<double> wave;
  double phase = 0.0;
  for (std::size_t i = 0; i < drum_length(seconds); ++i) {
    const double t = drum_time(i);
    phase += head.hz * (1.0 + head.bend * decay(t, head.bend_tau)) / drum_rate();
    wave.push_back(soft_clip(head.drive * sine_turns(phase) * decay(t, head.tau)) / head.drive);
  }
  return wave;
}

// Adds the stick's or beater's click: band noise dying within milliseconds.
void add_click(std::vector<double>& wave, BandNoise band, double level, double tau) {
  for (std::size_t i = 0; i < wave.size(); ++i) {
    wave[i] += level * band_noise_next(band) * decay(drum_time(i), tau);
  }
}

// Saturates a whole drum sound: its loudest peak is driven `drive` times
// into soft_clip, so the body of the sound comes up against its peaks and
// the drum sounds louder at the same volume.
void saturate(std::vector<double>& wave, double drive) {
  double peak = 0.0;
  for (const double value : wave) peak = std::fmax(peak, std::fabs(value));
  for (double& value : wave) value = soft_clip(drive * value / peak);
}

// A drum's sample: its top cut by four low-pass poles at top_hz, after
// any saturation, so that neither the sound nor the images the mixer's
// interpolation makes of it reach far above 12 kHz.
Sample drum_sample(const char* name, std::vector<double> wave, double top_hz) {
  Lowpass stages[4];
  for (Lowpass& stage : stages) stage = lowpass_at(top_hz, drum_rate());
  for (double& value : wave) {
    for (Lowpass& stage : stages) value = lowpass_process(stage, value);
  }
  return one_shot(name, wave, drum_rate());
}

// Kick: a head that falls from about 210 Hz to 50 Hz, hard driven, so the
// fall and the overtones of the saturation give it a body between 100 Hz
// and 300 Hz; and a beater's click around 1 to 4 kHz. Small speakers play
// both, where they would lose a kick that lived below 100 Hz.
std::vector<double> kick_wave() {
  const Head head{.hz = 50.0, .bend = 3.2, .bend_tau = 0.06, .tau = 0.11, .drive = 4.0};
  std::vector<double> wave = struck_head(head, 0.4);
  add_click(wave, band_noise(0x6b69636b, 1000.0, 4500.0), 0.9, 0.005);
  return wave;
}

// A tom: a head falling a little in pitch as it rings, the skin's first
// two overtones (a drum head's modes lie at 1.59 and 2.14 times its
// fundamental, not at whole multiples) dying sooner than it, and a stick's
// click. The overtones make it a drum rather than a sine.
Sample tom(const char* name, double hz, double tau, double seconds, uint32_t seed) {
  const Head head{.hz = hz, .bend = 0.3, .bend_tau = 0.03, .tau = tau, .drive = 1.8};
  std::vector<double> wave = struck_head(head, seconds);
  for (const auto& [ratio, level] : {std::pair{1.59, 0.8}, std::pair{2.14, 0.6}}) {
    const Head mode{
        .hz = hz * ratio, .bend = 0.3, .bend_tau = 0.03, .tau = 0.7 * tau, .drive = 1.0};
    const std::vector<double> overtone = struck_head(mode, seconds);
    for (std::size_t i = 0; i < wave.size(); ++i) wave[i] += level * overtone[i];
  }
  add_click(wave, band_noise(seed, 1500.0, 6000.0), 0.35, 0.005);
  return drum_sample(name, wave, 6000.0);
}

// Cymbal noise: band noise from low_hz up to high_hz, dying away with
// time constant tau.
std::vector<double> cymbal(double seconds, double low_hz, double high_hz, double tau,
                           uint32_t seed) {
  BandNoise band = band_noise(seed, low_hz, high_hz);
  std::vector<double> wave;
  for (std::size_t i = 0; i < drum_length(seconds); ++i) {
    wave.push_back(band_noise_next(band) * decay(drum_time(i), tau));
  }
  return wave;
}

// A hat: cymbal noise cut by six poles below 8 kHz, four more than the
// cymbal's own, and averaged with the value before, which puts a zero at
// half the byte rate, where high-passed noise gathers and one-pole
// low-passes hardly cut. What the mixer's interpolation makes of a hat's
// top falls both above 12 kHz, as haze, and, folded at the output rate,
// into 2 to 6 kHz, as sizzle; kept between 8 and 10 kHz, the hat is air.
std::vector<double> hat(double seconds, double tau, uint32_t seed) {
  constexpr double low_hz = 8000.0;
  std::vector<double> wave = cymbal(seconds, low_hz, 10000.0, tau, seed);
  Highpass stages[4];
  for (Highpass& stage : stages) stage = highpass_at(low_hz, drum_rate());
  for (double& value : wave) {
    for (Highpass& stage : stages) value = highpass_process(stage, value);
  }
  double before = 0.0;
  for (double& value : wave) {
    const double here = value;
    value = 0.5 * (here + before);
    before = here;
  }
  return wave;
}

}  // namespace

// Every drum plays at A-3, the top of the period table: at that byte rate
// the mixer's interpolation throws the weakest images of a drum's top end
// above 12 kHz, where they would be a haze over the whole mix.
Note drum_note() {
  return parse_note("A-3");
}

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
  return looped("bass: swept saw", attack, bass_cycle_at(1.0));
}

// Lead: the detuned pulses, like two players in near unison.
Sample make_lead() {
  return detuned_pulses("lead: detuned pulses", lead_cycle, 512, 15, 9.0);
}

// Descant: the lead an octave up. Half the cycle holds half the harmonics,
// and a loop twice as many cycles long keeps the chorus beat as slow.
Sample make_descant() {
  return detuned_pulses("descant: lead, 8ve up", descant_cycle, 1024, 7, 5.0);
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
  return looped("chords: pulse 25%", attack, loop);
}

Sample make_kick() {
  return drum_sample("kick: head and beater", kick_wave(), 6000.0);
}

// Snare: band-limited noise for the wires over a short 180 Hz tone for the
// drum head, saturated together.
Sample make_snare() {
  const Head head{.hz = 180.0, .bend = 0.25, .bend_tau = 0.02, .tau = 0.05, .drive = 1.5};
  std::vector<double> wave = struck_head(head, 0.24);
  BandNoise wires = band_noise(0x736e6172, 1000.0, 6500.0);
  for (std::size_t i = 0; i < wave.size(); ++i) {
    wave[i] = 0.7 * wave[i] + 1.6 * band_noise_next(wires) * decay(drum_time(i), 0.09);
  }
  saturate(wave, 2.5);
  return drum_sample("snare: noise and tone", wave, 7000.0);
}

// Clap: three quick bursts of mid-band noise, as of hands not quite
// together, then the room's short tail.
Sample make_clap() {
  BandNoise hands = band_noise(0x636c6170, 900.0, 3800.0);
  std::vector<double> wave;
  for (std::size_t i = 0; i < drum_length(0.28); ++i) {
    const double t = drum_time(i);
    double level = 0.0;
    for (const double burst : {0.0, 0.011, 0.022}) {
      if (t >= burst) level += decay(t - burst, 0.004);
    }
    if (t >= 0.031) level += 0.7 * decay(t - 0.031, 0.07);
    wave.push_back(band_noise_next(hands) * level);
  }
  saturate(wave, 2.5);
  return drum_sample("clap: three hands", wave, 6000.0);
}

// The toms sound the notes of the A minor triad: the high tom E, played
// a major third down as the middle tom C, and the low tom A.
Sample make_high_tom() {
  return tom("tom: high", 164.81, 0.15, 0.45, 0x746f6d31);
}

Sample make_low_tom() {
  return tom("tom: low", 110.0, 0.2, 0.6, 0x746f6d32);
}

Sample make_hihat() {
  return drum_sample("hihat: closed", hat(0.07, 0.016, 0x68617431), 12000.0);
}

Sample make_open_hihat() {
  return drum_sample("hihat: open", hat(0.40, 0.11, 0x68617432), 12000.0);
}

// Crash: a kick under a wide band of noise, with a bright splash at the
// stroke and a darker wash after it. Struck on the drum channel, where a
// downbeat's kick would be, it leaves the other channels their notes; it
// dies away within half a bar, so the drums that follow find it silent
// rather than cutting it off while it rings.
Sample make_crash() {
  constexpr double seconds = 0.95;
  std::vector<double> wave = cymbal(seconds, 2500.0, 9000.0, 0.3, 0x63726173);
  const std::vector<double> splash = cymbal(seconds, 5000.0, 9000.0, 0.05, 0x68737263);
  const std::vector<double> kick = kick_wave();
  for (std::size_t i = 0; i < wave.size(); ++i) {
    const double fade = std::fmin(1.0, (seconds - drum_time(i)) / 0.3);
    wave[i] = 2.0 * (wave[i] + 1.5 * splash[i]) * fade * fade;
    if (i < kick.size()) wave[i] += 0.7 * kick[i];
  }
  return drum_sample("crash: with kick", wave, 10000.0);
}

// A sample's own volume in the file is its voice's plain level.
std::vector<Sample> make_instruments() {
  std::vector<Sample> samples{make_bass(), make_lead(), make_chords(), make_descant()};
  for (const VoiceLevel& voice : levels) {
    samples[sample_number(voice.instrument) - 1u].volume = voice.level.plain;
  }
  for (const KitDrum& drum : kit) {
    samples.push_back(drum.make());
    samples.back().volume = drum.level.plain;
  }
  return samples;
}
