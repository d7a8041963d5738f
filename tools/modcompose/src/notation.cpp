#include "tools/modcompose/src/notation.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>
#include <utility>

#include "tools/modcompose/src/kit.h"

namespace {

[[noreturn]] void bad_token(std::string_view kind, std::string_view token) {
  throw std::invalid_argument("not a " + std::string(kind) + " step: \"" + std::string(token) +
                              "\"");
}

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Common marks; returns false for a token that is not one of them.
bool read_common_mark(std::string_view token, Mark& mark) {
  if (token == ".") {
    mark = Mark::hold;
    return true;
  }
  if (token == "^") {
    mark = Mark::release;
    return true;
  }
  return false;
}

// Marks of the melodic voices beyond the common ones.
bool read_melody_mark(std::string_view token, Mark& mark) {
  constexpr std::array<std::pair<std::string_view, Mark>, 7> marks{{
      {"~", Mark::vibrato},
      {"w", Mark::tremolo},
      {"/", Mark::slide_up},
      {"v", Mark::slide_down},
      {"<", Mark::swell},
      {">", Mark::fade},
      {"x", Mark::cut},
  }};
  for (const auto& [name, value] : marks) {
    if (name == token) {
      mark = value;
      return true;
    }
  }
  return false;
}

// The character after a note name says how the note starts.
Touch read_touch(std::string_view token, std::string_view kind) {
  if (token.size() == 3) return Touch::plain;
  if (token.size() == 4) {
    switch (token[3]) {
      case '!':
        return Touch::accent;
      case ',':
        return Touch::soft;
      case '*':
        return Touch::glide;
      case '\'':
        return Touch::late;
      case '_':
        return Touch::dark;
      default:
        break;
    }
  }
  bad_token(kind, token);
}

int32_t pitch_class_of_letter(char letter) {
  constexpr std::array<std::pair<char, int32_t>, 7> letters{
      {{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5}, {'G', 7}, {'A', 9}, {'B', 11}}};
  for (const auto& [name, pitch] : letters) {
    if (name == letter) return pitch;
  }
  return -1;
}

// Semitone offsets of the two upper chord notes for each chord kind.
uint8_t arpeggio_of_kind(std::string_view kind, std::string_view symbol) {
  constexpr std::array<std::pair<std::string_view, uint8_t>, 6> kinds{{
      {"", 0x47},      // major third, fifth
      {"m", 0x37},     // minor third, fifth
      {"7", 0x4A},     // major third, minor seventh
      {"m7", 0x3A},    // minor third, minor seventh
      {"sus2", 0x27},  // second, fifth
      {"sus4", 0x57},  // fourth, fifth
  }};
  for (const auto& [name, arpeggio] : kinds) {
    if (name == kind) return arpeggio;
  }
  bad_token("chord", symbol);
}

}  // namespace

std::vector<std::string_view> split_bar(std::string_view bar) {
  std::vector<std::string_view> tokens;
  std::size_t i = 0;
  while (i < bar.size()) {
    if (is_blank(bar[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < bar.size() && !is_blank(bar[end])) ++end;
    const std::string_view token = bar.substr(i, end - i);
    if (token != "|") tokens.push_back(token);
    i = end;
  }
  if (!tokens.empty() && tokens.size() != steps_per_bar) {
    throw std::invalid_argument("a bar needs 16 steps, not " + std::to_string(tokens.size()) +
                                ": \"" + std::string(bar) + "\"");
  }
  if (tokens.empty()) tokens.assign(steps_per_bar, ".");
  return tokens;
}

std::vector<MelodyStep> parse_melody_bar(std::string_view bar) {
  std::vector<MelodyStep> steps;
  for (const std::string_view token : split_bar(bar)) {
    MelodyStep step;
    if (!read_common_mark(token, step.mark) && !read_melody_mark(token, step.mark)) {
      step.mark = Mark::note;
      step.note = parse_note(token.substr(0, 3));
      step.touch = read_touch(token, "note");
    }
    steps.push_back(step);
  }
  return steps;
}

Chord parse_chord(std::string_view symbol) {
  if (symbol.empty()) bad_token("chord", symbol);
  int32_t pitch = pitch_class_of_letter(symbol[0]);
  if (pitch < 0) bad_token("chord", symbol);
  std::string_view kind = symbol.substr(1);
  if (!kind.empty() && (kind[0] == '#' || kind[0] == 'b')) {
    pitch = (pitch + (kind[0] == '#' ? 1 : 11)) % notes_per_octave;
    kind.remove_prefix(1);
  }
  constexpr int32_t lowest_root = 7;  // G-1
  const int32_t index = pitch >= lowest_root ? pitch : pitch + notes_per_octave;
  return Chord{Note{index}, arpeggio_of_kind(kind, symbol)};
}

std::vector<ChordStep> parse_chord_bar(std::string_view bar) {
  std::vector<ChordStep> steps;
  for (const std::string_view token : split_bar(bar)) {
    ChordStep step;
    if (token == ">") {
      step.mark = Mark::fade;
    } else if (!read_common_mark(token, step.mark)) {
      step.mark = Mark::chord;
      step.touch = token.ends_with(',') ? Touch::soft : Touch::plain;
      step.chord =
          parse_chord(step.touch == Touch::soft ? token.substr(0, token.size() - 1) : token);
    }
    steps.push_back(step);
  }
  return steps;
}

std::vector<DrumStep> parse_drum_bar(std::string_view bar) {
  std::vector<DrumStep> steps;
  for (const std::string_view token : split_bar(bar)) {
    const DrumStep step = drum_of_token(token);
    if (step.drum == nullptr && token != ".") bad_token("drum", token);
    steps.push_back(step);
  }
  return steps;
}
