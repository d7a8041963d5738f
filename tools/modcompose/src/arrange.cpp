#include "tools/modcompose/src/arrange.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "tools/modcompose/src/instruments.h"
#include "tools/modcompose/src/kit.h"
#include "tools/modcompose/src/levels.h"
#include "tools/modcompose/src/notation.h"
#include "tools/modcompose/src/pitch.h"

namespace {

Cell& cell_at(Pattern& pattern, int32_t bar, int32_t step, int32_t channel) {
  const auto row = static_cast<std::size_t>(bar * steps_per_bar + step);
  return pattern.rows[row][static_cast<std::size_t>(channel)];
}

Cell extended(uint8_t command, uint8_t value) {
  return Cell{0, 0, effect_extended, static_cast<uint8_t>(command << 4 | value)};
}

// The command that starts a note as its touch says, at the voice's levels
// and in its style. No default: a touch added to the notation must be
// played here.
Cell touch_command(Touch touch, const Level& level, const VoiceStyle& style) {
  switch (touch) {
    case Touch::plain:
      return Cell{};
    case Touch::accent:
      return Cell{0, 0, effect_set_volume, level.accent};
    case Touch::soft:
      return Cell{0, 0, effect_set_volume, level.soft};
    case Touch::glide:
      return Cell{0, 0, effect_portamento, style.glide};
    case Touch::late:
      return extended(extended_note_delay, style.late);
    case Touch::dark:
      return Cell{0, 0, effect_sample_offset, style.dark_offset};
    case Touch::roll:
      return extended(extended_retrigger, style.roll);
    case Touch::fast_roll:
      return extended(extended_retrigger, style.fast_roll);
  }
  return Cell{};
}

// A note's first row: its sample at its period, and the command of its
// touch. A glide names no sample, so the sounding note keeps its volume
// and bends to the new pitch instead of starting again.
Cell note_cell(uint8_t sample, uint16_t period, Touch touch, const Level& level,
               const VoiceStyle& style) {
  Cell cell = touch_command(touch, level, style);
  cell.sample = touch == Touch::glide ? 0 : sample;
  cell.period = period;
  return cell;
}

// A row without a new note: the command that shapes the sounding one.
Cell melody_mark(Mark mark, const VoiceStyle& style) {
  switch (mark) {
    case Mark::release:
      return Cell{0, 0, effect_volume_slide, release_param};
    case Mark::vibrato:
      return Cell{0, 0, effect_vibrato, style.vibrato};
    case Mark::tremolo:
      return Cell{0, 0, effect_tremolo, style.tremolo};
    case Mark::slide_up:
      return Cell{0, 0, effect_slide_up, style.slide};
    case Mark::slide_down:
      return Cell{0, 0, effect_slide_down, style.slide};
    case Mark::swell:
      return Cell{0, 0, effect_volume_slide, swell_param};
    case Mark::fade:
      return Cell{0, 0, effect_volume_slide, fade_param};
    case Mark::cut:
      return extended(extended_note_cut, cut_ticks);
    default:
      return Cell{};
  }
}

// A melodic voice (bass, lead or descant). A hold writes nothing, so the channel
// goes on as it was.
void write_melody(Pattern& pattern, int32_t channel, const Bars& bars, Instrument instrument,
                  const VoiceStyle& style) {
  for (int32_t bar = 0; bar < bars_per_pattern; ++bar) {
    const std::vector<MelodyStep> steps = parse_melody_bar(bars[static_cast<std::size_t>(bar)]);
    for (int32_t step = 0; step < steps_per_bar; ++step) {
      const MelodyStep& s = steps[static_cast<std::size_t>(step)];
      cell_at(pattern, bar, step, channel) =
          s.mark == Mark::note ? note_cell(sample_number(instrument), period_of(s.note), s.touch,
                                           level_of(instrument), style)
                               : melody_mark(s.mark, style);
    }
  }
}

uint8_t echo_volume(uint8_t volume) {
  return static_cast<uint8_t>(volume * echo_percent / 100);
}

// The echo: the lead's cells, `rows` later and quieter, on the chord
// channel. Its notes start plainly at the echo's volume; the commands that
// shape held notes (vibrato, slides, fades, cuts) repeat as they were.
void write_echo(Pattern& pattern, int32_t rows) {
  for (int32_t row = rows; row < rows_per_pattern; ++row) {
    const Cell& lead = pattern.rows[static_cast<std::size_t>(row - rows)][lead_channel];
    Cell echo = lead;
    if (lead.period != 0) {
      const uint8_t volume =
          lead.effect == effect_set_volume ? lead.param : level_of(Instrument::lead).plain;
      echo = Cell{sample_number(Instrument::lead), lead.period, effect_set_volume,
                  echo_volume(volume)};
    } else if (lead.effect == effect_set_volume) {
      echo.param = echo_volume(lead.param);
    }
    pattern.rows[static_cast<std::size_t>(row)][chord_channel] = echo;
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
        // A chord with a touch spends its first row on the touch's command.
        const uint8_t sample = sample_number(Instrument::chords);
        const uint16_t root = period_of(s.chord.root);
        cell = s.touch == Touch::plain
                   ? Cell{sample, root, effect_arpeggio, s.chord.arpeggio}
                   : note_cell(sample, root, s.touch, level_of(Instrument::chords), chord_style);
        arpeggio = s.chord.arpeggio;
        sounding = named = true;
      } else if (s.mark == Mark::release) {
        cell = Cell{0, 0, effect_volume_slide, release_param};
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

// A drum's cell: its sample at its note, struck with its touch.
Cell drum_cell(const DrumStep& step) {
  return note_cell(sample_number(*step.drum), period_of(Note{drum_note().index - step.down}),
                   step.touch, step.drum->level, drum_style);
}

void write_drums(Pattern& pattern, const Bars& bars) {
  for (int32_t bar = 0; bar < bars_per_pattern; ++bar) {
    const std::vector<DrumStep> steps = parse_drum_bar(bars[static_cast<std::size_t>(bar)]);
    for (int32_t step = 0; step < steps_per_bar; ++step) {
      const DrumStep& s = steps[static_cast<std::size_t>(step)];
      if (s.drum != nullptr) cell_at(pattern, bar, step, drum_channel) = drum_cell(s);
    }
  }
}

bool written(const Bars& bars) {
  for (const std::string_view bar : bars) {
    if (!bar.empty()) return true;
  }
  return false;
}

// The mode the score asks of the chord channel. An echo fills the
// channel, so it leaves no room for chords or a descant.
ChordChannel chord_channel_of(const PatternScore& score) {
  const bool descant = written(score.descant);
  if (score.echo_rows <= 0) return descant ? ChordChannel::descant : ChordChannel::chords;
  if (descant) throw std::invalid_argument("an echo and a descant on one channel");
  if (written(score.chords)) throw std::invalid_argument("chords where the echo plays");
  return ChordChannel::echo;
}

// The chords and the descant by turns: a descant step that writes
// something takes the channel, and the chords take it back at their next
// chord. Holds of a chord the descant has taken over write nothing, or
// their arpeggio would bend the descant's note.
void write_chords_and_descant(Pattern& pattern, const PatternScore& score) {
  Pattern chords;
  if (written(score.chords)) write_chords(chords, score.chords, score.name);
  Pattern descant;
  write_melody(descant, chord_channel, score.descant, Instrument::descant, descant_style);
  bool descant_playing = false;
  for (std::size_t row = 0; row < pattern.rows.size(); ++row) {
    const Cell& chord = chords.rows[row][chord_channel];
    const Cell& note = descant.rows[row][chord_channel];
    if (note != Cell{}) {
      descant_playing = true;
    } else if (chord.sample != 0) {
      descant_playing = false;
    }
    pattern.rows[row][chord_channel] = descant_playing ? note : chord;
  }
}

void write_chord_channel(Pattern& pattern, const PatternScore& score) {
  switch (chord_channel_of(score)) {
    case ChordChannel::chords:
      write_chords(pattern, score.chords, score.name);
      break;
    case ChordChannel::echo:
      write_echo(pattern, score.echo_rows);
      break;
    case ChordChannel::descant:
      write_chords_and_descant(pattern, score);
      break;
  }
}

Pattern write_pattern(const PatternScore& score) {
  Pattern pattern;
  try {
    write_melody(pattern, bass_channel, score.bass, Instrument::bass, bass_style);
    write_melody(pattern, lead_channel, score.lead, Instrument::lead, lead_style);
    write_chord_channel(pattern, score);
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

std::vector<const PatternScore*> song_patterns(const Song& song) {
  std::vector<const PatternScore*> patterns;
  for (const Section& section : song.form) {
    for (const PatternScore& pattern : section.patterns) {
      if (std::find(patterns.begin(), patterns.end(), &pattern) == patterns.end()) {
        patterns.push_back(&pattern);
      }
    }
  }
  return patterns;
}

std::vector<uint8_t> order_list(const Song& song) {
  const std::vector<const PatternScore*> patterns = song_patterns(song);
  std::vector<uint8_t> order;
  for (const Section& section : song.form) {
    for (const PatternScore& pattern : section.patterns) {
      const auto number = std::find(patterns.begin(), patterns.end(), &pattern) - patterns.begin();
      order.push_back(static_cast<uint8_t>(number));
    }
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
  for (const PatternScore* score : song_patterns(song)) {
    module.patterns.push_back(write_pattern(*score));
  }
  module.order = order_list(song);
  place_tempo(module.patterns[module.order.front()], song);
  return module;
}

std::vector<uint8_t> compose(const Song& song) {
  return encode_module(arrange(song));
}
