// intro-silent: the animation without music.
#include "intro/program.h"

int main() {
  return intro_run(silent_variant);
}
