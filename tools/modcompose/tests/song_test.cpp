// Checks on the composed song as music: its form and length, the tracker
// idioms it performs with, its dynamics and its variety, read from the
// patterns the module plays.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "tools/modcompose/src/arrange.h"
#include "tools/modcompose/src/instruments.h"
#include "tools/modcompose/src/kit.h"
#include "tools/modcompose/src/levels.h"
#include "tools/modcompose/src/notation.h"
#include "tools/modcompose/src/pitch.h"
#include "tools/modcompose/src/score.h"

namespace {

// One bar as it is played: the section it belongs to and its 16 rows.
struct PlayedBar {
  std::string_view section;
  const PatternScore* pattern = nullptr;
  int32_t bar = 0;
  std::vector<Row> rows;
};

std::vector<PlayedBar> played_bars(const Song& song, const Module& module) {
  std::vector<PlayedBar> bars;
  std::size_t position = 0;
  for (const Section& section : song.form) {
    for (const PatternScore& score : section.patterns) {
      const Pattern& pattern = module.patterns[module.order[position++]];
      for (int32_t bar = 0; bar < bars_per_pattern; ++bar) {
        const auto first = pattern.rows.begin() + bar * steps_per_bar;
        bars.push_back({section.name, &score, bar, {first, first + steps_per_bar}});
      }
    }
  }
  return bars;
}

class Tune : public ::testing::Test {
 protected:
  const Song& song = blumot_song();
  const Module module = arrange(song);
  const std::vector<PlayedBar> bars = played_bars(song, module);
};

// For each row of a channel: whether a note plays or holds there.
std::vector<bool> sounding_rows(const std::vector<PlayedBar>& bars, int32_t channel) {
  std::vector<bool> sounding;
  bool on = false;
  for (const PlayedBar& bar : bars) {
    for (const Row& row : bar.rows) {
      const Cell& cell = row[static_cast<std::size_t>(channel)];
      if (cell.period != 0) on = true;
      sounding.push_back(on && !cell_stops(cell));
      if (cell_stops(cell)) on = false;
    }
  }
  return sounding;
}

double expressive_share(const std::vector<PlayedBar>& bars, int32_t channel) {
  const std::vector<bool> sounding = sounding_rows(bars, channel);
  int32_t rows = 0;
  int32_t shaped = 0;
  std::size_t index = 0;
  for (const PlayedBar& bar : bars) {
    for (const Row& row : bar.rows) {
      const Cell& cell = row[static_cast<std::size_t>(channel)];
      if (!sounding[index++]) continue;
      ++rows;
      if (cell.effect != 0 || cell.param != 0) ++shaped;
    }
  }
  return static_cast<double>(shaped) / rows;
}

TEST_F(Tune, FormAndLength) {
  std::vector<std::string_view> sections;
  for (const Section& section : song.form) sections.push_back(section.name);
  EXPECT_EQ(sections, (std::vector<std::string_view>{"intro", "theme", "variation", "breakdown",
                                                     "build", "return", "ending"}));
  const double seconds = song_seconds(song);
  EXPECT_GE(seconds, 100.0);
  EXPECT_LE(seconds, 180.0);
  // The return varies at least half of the theme's bars (drums aside).
  std::vector<const PlayedBar*> theme;
  std::vector<const PlayedBar*> reprise;
  for (const PlayedBar& bar : bars) {
    if (bar.section == "theme") theme.push_back(&bar);
    if (bar.section == "return") reprise.push_back(&bar);
  }
  ASSERT_EQ(theme.size(), reprise.size());
  std::size_t varied = 0;
  for (std::size_t i = 0; i < theme.size(); ++i) {
    for (std::size_t row = 0; row < steps_per_bar; ++row) {
      const Row& a = theme[i]->rows[row];
      const Row& b = reprise[i]->rows[row];
      if (a[bass_channel] != b[bass_channel] || a[lead_channel] != b[lead_channel] ||
          a[chord_channel] != b[chord_channel]) {
        ++varied;
        break;
      }
    }
  }
  EXPECT_GE(2 * varied, theme.size());
  // No jump or break: the player plays the order list once and stops.
  for (const PlayedBar& bar : bars) {
    for (const Row& row : bar.rows) {
      for (const Cell& cell : row) {
        EXPECT_NE(cell.effect, effect_position_jump);
        EXPECT_NE(cell.effect, effect_pattern_break);
      }
    }
  }
}

TEST_F(Tune, PerformsWithTrackerIdioms) {
  std::set<int32_t> commands;  // the extended commands counted apart
  for (const PlayedBar& bar : bars) {
    for (const Row& row : bar.rows) {
      for (const Cell& cell : row) {
        if (cell.effect == effect_set_speed || (cell.effect == 0 && cell.param == 0)) continue;
        commands.insert(cell.effect == effect_extended ? 0x100 | cell.param >> 4 : cell.effect);
      }
    }
  }
  EXPECT_GE(commands.size(), 8u);
  EXPECT_GE(expressive_share(bars, lead_channel), 0.25);
  EXPECT_GE(expressive_share(bars, bass_channel), 0.10);

  // The echo: the chord channel replays the lead's notes a few rows later,
  // quieter.
  int32_t echo_bars = 0;
  for (const PlayedBar& bar : bars) {
    bool echoes = false;
    for (std::size_t row = 0; row < steps_per_bar; ++row) {
      const Cell& echo = bar.rows[row][chord_channel];
      if (echo.sample != static_cast<uint8_t>(Instrument::lead)) continue;
      echoes = true;
      EXPECT_EQ(echo.effect, effect_set_volume) << bar.pattern->name;
      EXPECT_LT(echo.param, level_of(Instrument::lead).plain) << bar.pattern->name;
    }
    echo_bars += echoes ? 1 : 0;
  }
  EXPECT_GE(echo_bars, 8);
}

TEST_F(Tune, LeadBreathesAndPlaysDynamics) {
  std::set<int32_t> lead_volumes;
  std::set<int32_t> hihat_volumes;
  for (const PlayedBar& bar : bars) {
    for (const Row& row : bar.rows) {
      const Cell& lead = row[lead_channel];
      if (lead.sample != 0) {
        lead_volumes.insert(lead.effect == effect_set_volume ? lead.param
                                                             : level_of(Instrument::lead).plain);
      }
      const Cell& drum = row[drum_channel];
      if (drum.sample == sample_number(kit_drum("hi-hat"))) {
        hihat_volumes.insert(drum.effect == effect_set_volume ? drum.param : -1);
      }
    }
  }
  EXPECT_GE(lead_volumes.size(), 3u);
  EXPECT_GE(hihat_volumes.size(), 2u) << "the hi-hats have accents";

  // In any two bars in a row where the lead plays, it rests at least once.
  const std::vector<bool> sounding = sounding_rows(bars, lead_channel);
  const auto bar_plays = [&](std::size_t bar, bool& rests) {
    bool plays = false;
    for (std::size_t row = 0; row < steps_per_bar; ++row) {
      plays = plays || sounding[bar * steps_per_bar + row];
      rests = rests || !sounding[bar * steps_per_bar + row];
    }
    return plays;
  };
  for (std::size_t bar = 0; bar + 1 < bars.size(); ++bar) {
    bool rests = false;
    if (bar_plays(bar, rests) && bar_plays(bar + 1, rests)) {
      EXPECT_TRUE(rests) << bars[bar].pattern->name << " bar " << bars[bar].bar + 1;
    }
  }
}

// A drum is cut off by the next note on its channel. The kick must ring
// for 200 ms at least, and the crash to its end: a crash cut while it
// rings is heard as a dead stop above the mix.
TEST_F(Tune, KickRingsAndCrashIsNeverCut) {
  const double row_seconds = song.ticks_per_row * 2.5 / song.beats_per_minute;
  const uint8_t crash = sample_number(kit_drum("crash"));
  const double crash_seconds =
      static_cast<double>(module.samples[crash - 1u].data.size()) / playback_rate_of(drum_note());
  double struck_at = -1.0;
  double must_ring = 0.0;
  double time = 0.0;
  int32_t crashes = 0;
  for (const PlayedBar& bar : bars) {
    for (const Row& row : bar.rows) {
      const Cell& drum = row[drum_channel];
      if (drum.period != 0 && struck_at >= 0.0) {
        EXPECT_GE(time - struck_at, must_ring) << bar.pattern->name << " bar " << bar.bar + 1;
        struck_at = -1.0;
      }
      if (drum.sample == sample_number(kit_drum("kick")) || drum.sample == crash) {
        struck_at = time;
        must_ring = drum.sample == crash ? crash_seconds : 0.2;
        crashes += drum.sample == crash ? 1 : 0;
      }
      time += row_seconds;
    }
  }
  EXPECT_GE(crashes, 3) << "a crash marks the big downbeats";
}

// Chords of a bar in the order they start, as the score names them.
std::vector<std::pair<int32_t, uint8_t>> bar_chords(std::string_view bar) {
  std::vector<std::pair<int32_t, uint8_t>> chords;
  for (const ChordStep& step : parse_chord_bar(bar)) {
    const std::pair<int32_t, uint8_t> chord{step.chord.root.index, step.chord.arpeggio};
    if (step.mark == Mark::chord && (chords.empty() || chords.back() != chord))
      chords.push_back(chord);
  }
  return chords;
}

TEST_F(Tune, VariesItsBarsFillsAndHarmony) {
  std::set<std::vector<Row>> unique;
  for (const PlayedBar& bar : bars) unique.insert(bar.rows);
  EXPECT_GE(unique.size() * 5, bars.size() * 4) << "at least 80 % of the bars unique";

  // Fills: a pattern's last bar of drums when it differs from its first.
  std::vector<std::vector<Cell>> fills;
  for (std::size_t bar = 3; bar < bars.size(); bar += bars_per_pattern) {
    std::vector<Cell> first;
    std::vector<Cell> last;
    for (std::size_t row = 0; row < steps_per_bar; ++row) {
      first.push_back(bars[bar - 3].rows[row][drum_channel]);
      last.push_back(bars[bar].rows[row][drum_channel]);
    }
    if (first == last) continue;
    if (!fills.empty()) {
      EXPECT_NE(fills.back(), last) << "the same fill twice in a row";
    }
    fills.push_back(last);
  }
  EXPECT_GE(std::set<std::vector<Cell>>(fills.begin(), fills.end()).size(), 4u);

  // Harmony: two chords in a bar often; the opening progression rarely.
  int32_t two_chord_bars = 0;
  int32_t opening_bars = 0;
  const Bars& opening = song.form[0].patterns[0].get().chords;
  for (const Section& section : song.form) {
    for (const PatternScore& pattern : section.patterns) {
      const Bars& chords = pattern.chords;
      bool same = true;
      for (std::size_t bar = 0; bar < bars_per_pattern; ++bar) {
        two_chord_bars += bar_chords(chords[bar]).size() >= 2 ? 1 : 0;
        same = same && bar_chords(chords[bar]) == bar_chords(opening[bar]);
      }
      opening_bars += same ? bars_per_pattern : 0;
    }
  }
  EXPECT_GE(two_chord_bars, 8);

  // The chords are heard from every bar's downbeat, the climax's too; only
  // the echo takes their channel for whole bars.
  for (const PlayedBar& bar : bars) {
    if (bar.pattern->echo_rows > 0) continue;
    EXPECT_EQ(bar.rows[0][chord_channel].sample, static_cast<uint8_t>(Instrument::chords))
        << bar.pattern->name << " bar " << bar.bar + 1;
  }
  EXPECT_LE(opening_bars * 4, static_cast<int32_t>(bars.size()));
}

// The hook: the intervals between the first four notes of the theme.
std::vector<int32_t> lead_notes(const PatternScore& pattern) {
  std::vector<int32_t> notes;
  for (const std::string_view bar : pattern.lead) {
    for (const MelodyStep& step : parse_melody_bar(bar)) {
      if (step.mark == Mark::note) notes.push_back(step.note.index);
    }
  }
  return notes;
}

bool holds_hook(const std::vector<int32_t>& notes, const std::vector<int32_t>& hook) {
  for (std::size_t i = 0; i + hook.size() <= notes.size(); ++i) {
    if (std::equal(hook.begin(), hook.end(), notes.begin() + static_cast<long>(i))) return true;
  }
  return false;
}

TEST_F(Tune, HookReturnsAndNotesServeTheKey) {
  const std::vector<int32_t> theme = lead_notes(song.form[1].patterns[0]);
  const std::vector<int32_t> hook(theme.begin(), theme.begin() + 4);
  int32_t sections_with_hook = 0;
  for (const Section& section : song.form) {
    bool found = false;
    for (const PatternScore& pattern : section.patterns)
      found = found || holds_hook(lead_notes(pattern), hook);
    sections_with_hook += found ? 1 : 0;
  }
  EXPECT_GE(sections_with_hook, 3);

  // A minor with the G# of its dominant; a passing note outside it may
  // serve the line, but a wrong octave or letter in the score stands out.
  const std::set<int32_t> a_minor{9, 11, 0, 2, 4, 5, 7, 8};
  int32_t notes = 0;
  int32_t in_key = 0;
  for (const PatternScore* pattern : song_patterns(song)) {
    for (const Bars* voice : {&pattern->lead, &pattern->bass}) {
      for (const std::string_view bar : *voice) {
        for (const MelodyStep& step : parse_melody_bar(bar)) {
          if (step.mark != Mark::note) continue;
          ++notes;
          in_key += a_minor.contains(pitch_class(step.note)) ? 1 : 0;
        }
      }
    }
  }
  EXPECT_GE(in_key * 10, notes * 9);
}

}  // namespace
