#include "tools/modcompose/src/piano_roll.h"

#include <algorithm>
#include <array>
#include <sstream>

#include "tools/modcompose/src/arrange.h"
#include "tools/modcompose/src/instruments.h"
#include "tools/modcompose/src/kit.h"
#include "tools/modcompose/src/pitch.h"

namespace {

constexpr double row_width = 1.25;
constexpr double lane_left = 70.0;
constexpr double top = 28.0;
constexpr double semitone_height = 4.0;
constexpr double lane_gap = 14.0;
constexpr double drum_height = 8.0;
constexpr auto drum_lines = static_cast<int32_t>(std::size(kit));

// A note as it sounds: from its first row to the row where it stops.
struct NoteSpan {
  int32_t start = 0;
  int32_t end = 0;
  int32_t note = 0;
  int32_t volume = 64;
  uint8_t sample = 0;
  uint8_t arpeggio = 0;  // the chord's arpeggio, 0 for a single note
};

std::vector<Row> played_rows(const Module& module) {
  std::vector<Row> rows;
  for (const uint8_t pattern : module.order) {
    const auto& pattern_rows = module.patterns[pattern].rows;
    rows.insert(rows.end(), pattern_rows.begin(), pattern_rows.end());
  }
  return rows;
}

int32_t note_of_period(uint16_t period) {
  for (int32_t index = 0; index < note_count; ++index) {
    if (period_of(Note{index}) == period) return index;
  }
  return 0;
}

// A new note in a cell: its sample and volume, or those it keeps.
NoteSpan span_from(const Cell& cell, int32_t row, const NoteSpan& before, const Module& module) {
  NoteSpan span{row, row, note_of_period(cell.period), before.volume, before.sample, 0};
  if (cell.sample != 0) {
    span.sample = cell.sample;
    span.volume = module.samples[cell.sample - 1u].volume;
  }
  if (cell.effect == effect_set_volume) span.volume = cell.param;
  return span;
}

// Every note a channel plays, drums struck on it included.
std::vector<NoteSpan> channel_notes(const Module& module, const std::vector<Row>& rows,
                                    int32_t channel) {
  std::vector<NoteSpan> spans;
  NoteSpan open;
  bool sounding = false;
  for (int32_t row = 0; row < static_cast<int32_t>(rows.size()); ++row) {
    const Cell& cell = rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(channel)];
    if (cell.period != 0) {
      if (sounding) spans.push_back(open);
      open = span_from(cell, row, open, module);
      sounding = true;
    }
    if (sounding && cell.effect == effect_arpeggio && open.arpeggio == 0)
      open.arpeggio = cell.param;
    open.end = row + 1;
    if (sounding && cell_stops(cell)) {
      open.end = row + 1;
      spans.push_back(open);
      sounding = false;
    }
  }
  if (sounding) spans.push_back(open);
  return spans;
}

bool is_drum_hit(const NoteSpan& span) {
  return is_drum(span.sample);
}

// The notes of a channel that are not drums, and the drum hits of all.
std::vector<NoteSpan> melodic_notes(std::vector<NoteSpan> spans) {
  std::erase_if(spans, is_drum_hit);
  return spans;
}

std::vector<NoteSpan> drum_hits(const Module& module, const std::vector<Row>& rows) {
  std::vector<NoteSpan> hits;
  for (int32_t channel = 0; channel < channel_count; ++channel) {
    for (const NoteSpan& span : channel_notes(module, rows, channel)) {
      if (is_drum_hit(span)) hits.push_back(span);
    }
  }
  return hits;
}

// The pitch a note sounds at: the descant sounds an octave above its
// period's note.
int32_t sounding_note(const NoteSpan& span) {
  const bool descant = span.sample == sample_number(Instrument::descant);
  return span.note + (descant ? notes_per_octave : 0);
}

std::string colour_of(const NoteSpan& span, int32_t channel) {
  if (channel == bass_channel) return "#5fc45f";
  if (channel == lead_channel) return "#ef5b9c";
  if (span.sample == sample_number(Instrument::lead)) return "#b58cf0";  // the echo
  if (span.sample == sample_number(Instrument::descant)) return "#f0a050";
  return "#4fa3e8";
}

void draw_bar(std::ostringstream& svg, double x, double y, double width, double height,
              const std::string& colour, int32_t volume) {
  svg << "<rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << width << "\" height=\"" << height
      << "\" fill=\"" << colour << "\" fill-opacity=\"" << 0.25 + 0.75 * std::min(volume, 64) / 64.0
      << "\"/>\n";
}

// One melodic lane; returns its height.
double draw_melodic_lane(std::ostringstream& svg, const std::vector<NoteSpan>& spans,
                         int32_t channel, double y, const char* name) {
  int32_t low = note_count;
  int32_t high = 0;
  for (const NoteSpan& span : spans) {
    low = std::min(low, sounding_note(span));
    high = std::max(high, sounding_note(span) + std::max(span.arpeggio >> 4, span.arpeggio & 0xF));
  }
  const double height = (high - low + 1) * semitone_height;
  svg << "<text x=\"4\" y=\"" << y + height / 2 + 4 << "\">" << name << "</text>\n";
  for (const NoteSpan& span : spans) {
    const double x = lane_left + span.start * row_width;
    const double width = std::max(span.end - span.start, 1) * row_width;
    // A chord draws the three notes its arpeggio plays.
    const std::array<int32_t, 3> offsets{0, span.arpeggio >> 4, span.arpeggio & 0xF};
    for (std::size_t i = 0; i < (span.arpeggio == 0 ? 1u : offsets.size()); ++i) {
      const double note_y = y + (high - sounding_note(span) - offsets[i]) * semitone_height;
      draw_bar(svg, x, note_y, width, semitone_height - 1, colour_of(span, channel), span.volume);
    }
  }
  return height;
}

// The drum lane: a line for each drum of the kit, named in small print.
double draw_drum_lane(std::ostringstream& svg, const std::vector<NoteSpan>& hits, double y) {
  for (int32_t line = 0; line < drum_lines; ++line) {
    svg << "<text x=\"4\" y=\"" << y + (line + 1) * drum_height - 1 << "\" font-size=\"7\">"
        << kit[static_cast<std::size_t>(line)].name << "</text>\n";
  }
  for (const NoteSpan& hit : hits) {
    const int32_t line = hit.sample - sample_number(Instrument::first_drum);
    draw_bar(svg, lane_left + hit.start * row_width, y + line * drum_height, 2 * row_width,
             drum_height - 1, "#e8c24a", hit.volume);
  }
  return drum_lines * drum_height;
}

void draw_sections(std::ostringstream& svg, const Song& song, double bottom) {
  double x = lane_left;
  for (const Section& section : song.form) {
    svg << "<line x1=\"" << x << "\" y1=\"10\" x2=\"" << x << "\" y2=\"" << bottom
        << "\" stroke=\"#666\"/>\n<text x=\"" << x + 3 << "\" y=\"20\">" << section.name
        << "</text>\n";
    x += static_cast<double>(section.patterns.size()) * rows_per_pattern * row_width;
  }
}

}  // namespace

std::string piano_roll_svg(const Song& song) {
  const Module module = arrange(song);
  const std::vector<Row> rows = played_rows(module);
  std::ostringstream body;
  double y = top;
  const auto lane = [&](int32_t channel, const char* name) {
    y += draw_melodic_lane(body, melodic_notes(channel_notes(module, rows, channel)), channel, y,
                           name) +
         lane_gap;
  };
  lane(lead_channel, "lead");
  lane(chord_channel, "chords");
  lane(bass_channel, "bass");
  y += draw_drum_lane(body, drum_hits(module, rows), y) + lane_gap;
  const double width = lane_left + static_cast<double>(rows.size()) * row_width + 10;
  std::ostringstream svg;
  svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\"" << y
      << "\" font-family=\"sans-serif\" font-size=\"11\">\n<rect width=\"100%\" "
         "height=\"100%\" fill=\"#16161c\"/>\n<g fill=\"#ccc\">\n";
  draw_sections(svg, song, y - lane_gap / 2);
  svg << "</g>\n<g fill=\"#ccc\">\n" << body.str() << "</g>\n</svg>\n";
  return svg.str();
}
