// intro-silent: the animation without music.
#include "intro/program.h"

namespace {

constexpr ProgramAbout about = {
    .name = "intro-silent",
    .summary = "BLUMOT, a demo-scene intro in plain text for the terminal, without sound.",
    .files = "",
};

}  // namespace

int main(int argc, char* argv[]) {
  return intro_main(argc, argv, about, silent_variant);
}
