// intro: the animation with its music.
#include "intro/program.h"

namespace {

constexpr ProgramAbout about = {
    .name = "intro",
    .summary = "BLUMOT, a demo-scene intro in plain text for the terminal, with its music.",
    .files =
        "The music is blumot.mod from the current folder or, when that folder has\n"
        "none, " INTRO_MODULE_PATH ".",
};

}  // namespace

int main(int argc, char* argv[]) {
  return intro_main(argc, argv, about, music_variant);
}
