#include "tools/modcompose/src/kit.h"

DrumStep drum_of_token(std::string_view token) {
  if (token.size() != 1) return DrumStep{};
  for (const KitDrum& drum : kit) {
    for (const DrumToken& slot : drum.tokens) {
      if (slot.token != 0 && slot.token == token[0]) return DrumStep{&drum, slot.touch, slot.down};
    }
  }
  return DrumStep{};
}
