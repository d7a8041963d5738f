// intro: the animation with its music.
#include "intro/program.h"

int main() {
  return intro_run(music_variant);
}
