#include "arrange.h"

#include <stdexcept>
#include <string>

#include "instruments.h"
#include "notation.h"
#include "pitch.h"

namespace {

constexpr uint8_t sample_number(Instrument instrument) {
  return static_cast<uint8_t>(instrument);
}

Cell& cell_at(Pattern& pattern, int32_t bar, int32_t step, int32_t channel) {
  const auto row = static_cast<std::size_t>(bar * steps_per_bar + step);
  return pattern.rows[row][static_cast<std::size_t>(channel)];
}

// A melodic voice (bass or lead): notes, releases, vibrato and fades. A
// hold writes nothing, so the channel goes on as it was.
void write_melody(Pattern& pattern, int32_t channel, const Bars& bars, Instrument instrument) {
  for (int32_t bar = 0; bar < bars_per_pattern; ++bar) {
    const std::vector<MelodyStep> steps = parse_melody_bar(bars[static_cast<std::size_t>(bar)]);
    for (int32_t step = 0; step < steps_per_bar; ++step) {
      const MelodyStep& s = steps[static_cast<std::size_t>(step)];
      Cell& cell = cell_at(pattern, bar, step, channel);
      switch (s.mark) {
        case Mark::note:
          cell = Cell{sample_number(instrument), period_of(s.note), 0, 0};
          break;
        case Mark::release:
          cell = Cell{0, 0, effect_set_volume, 0};
          break;
        case Mark::vibrato:
          cell = Cell{0, 0, effect_vibrato, vibrato_param};
          break;
        case Mark::fade:
          cell = Cell{0, 0, effect_volume_slide, fade_param};
          break;
        default:
          break;
      }
    }
  }
}

// The chord voice plays each chord as an arpeggio. The tracker's arpeggio
// only lasts one row, so every held row repeats the command; a pattern
// must therefore name its chord before the first hold, or the hold would
// not know which chord to go on with. A fade stops the arpeggio and lets
// the chord's root die away.
void write_chords(Pattern& pattern, const Bars& bars, std::string_view pattern_name) {
  bool sounding = false;
  bool named = false;
  uint8_t arpeggio = 0;
  for (int32_t bar = 0; bar < bars_per_pattern; ++bar) {
    const std::vector<ChordStep> steps = parse_chord_bar(bars[static_cast<std::size_t>(bar)]);
    for (int32_t step = 0; step < steps_per_bar; ++step) {
      const ChordStep& s = steps[static_cast<std::size_t>(step)];
      Cell& cell = cell_at(pattern, bar, step, chord_channel);
      if (s.mark == Mark::chord) {
        cell = Cell{sample_number(Instrument::chords), period_of(s.chord.root), effect_arpeggio,
                    s.chord.arpeggio};
        arpeggio = s.chord.arpeggio;
        sounding = named = true;
      } else if (s.mark == Mark::release) {
        cell = Cell{0, 0, effect_set_volume, 0};
        sounding = false;
        named = true;
      } else if (s.mark == Mark::fade) {
        cell = Cell{0, 0, effect_volume_slide, fade_param};
        sounding = false;
      } else if (!named) {
        throw std::invalid_argument("chords of pattern \"" + std::string(pattern_name) +
                                    "\" hold before naming a chord");
      } else if (s.mark == Mark::hold && sounding) {
        cell = Cell{0, 0, effect_arpeggio, arpeggio};
      }
    }
  }
}

void write_drums(Pattern& pattern, const Bars& bars) {
  for (int32_t bar = 0; bar < bars_per_pattern; ++bar) {
    const std::vector<Drum> steps = parse_drum_bar(bars[static_cast<std::size_t>(bar)]);
    for (int32_t step = 0; step < steps_per_bar; ++step) {
      Cell& cell = cell_at(pattern, bar, step, drum_channel);
      const auto hit = [&cell](Instrument drum) {
        cell = Cell{sample_number(drum), period_of(drum_note(drum)), 0, 0};
      };
      switch (steps[static_cast<std::size_t>(step)]) {
        case Drum::kick:
          hit(Instrument::kick);
          break;
        case Drum::snare:
          hit(Instrument::snare);
          break;
        case Drum::ghost_snare:
          hit(Instrument::snare);
          cell.effect = effect_set_volume;
          cell.param = ghost_snare_volume;
          break;
        case Drum::hihat:
          hit(Instrument::hihat);
          break;
        case Drum::open_hihat:
          hit(Instrument::open_hihat);
          break;
        case Drum::none:
          break;
      }
    }
  }
}

Pattern write_pattern(const PatternScore& score) {
  Pattern pattern;
  try {
    write_melody(pattern, bass_channel, score.bass, Instrument::bass);
    write_melody(pattern, lead_channel, score.lead, Instrument::lead);
    write_chords(pattern, score.chords, score.name);
    write_drums(pattern, score.drums);
  } catch (const std::exception& error) {
    // Say where: the notation's message alone does not find the bar.
    throw std::invalid_argument("pattern \"" + std::string(score.name) + "\": " + error.what());
  }
  return pattern;
}

// Speed and tempo go into free effect columns of the first row that plays.
// Writing them even when they equal the players' defaults keeps the tempo
// in the file rather than in an assumption about the player.
void place_tempo(Pattern& first, const Song& song) {
  const uint8_t commands[] = {static_cast<uint8_t>(song.ticks_per_row),
                              static_cast<uint8_t>(song.beats_per_minute)};
  std::size_t placed = 0;
  for (Cell& cell : first.rows[0]) {
    if (placed < std::size(commands) && cell.effect == 0 && cell.param == 0) {
      cell.effect = effect_set_speed;
      cell.param = commands[placed++];
    }
  }
  if (placed < std::size(commands)) {
    throw std::invalid_argument("the first row needs two free effect columns for speed and tempo");
  }
}

void check_tempo(const Song& song) {
  if (song.ticks_per_row < 1 || song.ticks_per_row > 31)
    throw std::invalid_argument("speed must be 1..31");
  if (song.beats_per_minute < 32 || song.beats_per_minute > 255)
    throw std::invalid_argument("tempo must be 32..255");
}

}  // namespace

std::vector<uint8_t> order_list(const Song& song) {
  std::vector<bool> played(song.patterns.size(), false);
  std::vector<uint8_t> order;
  for (const Section& section : song.form) {
    for (const std::string_view name : section.patterns) {
      std::size_t index = 0;
      while (index < song.patterns.size() && song.patterns[index].name != name) ++index;
      if (index == song.patterns.size()) {
        throw std::invalid_argument("section \"" + std::string(section.name) +
                                    "\" names unknown pattern \"" + std::string(name) + "\"");
      }
      played[index] = true;
      order.push_back(static_cast<uint8_t>(index));
    }
  }
  for (std::size_t i = 0; i < played.size(); ++i) {
    if (!played[i])
      throw std::invalid_argument("pattern \"" + std::string(song.patterns[i].name) +
                                  "\" is never played");
  }
  return order;
}

double song_seconds(const Song& song) {
  const double seconds_per_row = song.ticks_per_row * 2.5 / song.beats_per_minute;
  return static_cast<double>(order_list(song).size()) * rows_per_pattern * seconds_per_row;
}

Module arrange(const Song& song) {
  check_tempo(song);
  Module module;
  module.title = std::string(song.title);
  module.samples = make_instruments();
  for (const PatternScore& score : song.patterns) module.patterns.push_back(write_pattern(score));
  module.order = order_list(song);
  place_tempo(module.patterns[module.order.front()], song);
  return module;
}

std::vector<uint8_t> compose(const Song& song) {
  return encode_module(arrange(song));
}
