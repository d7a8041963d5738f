// The program entry that intro and intro-silent share.
#pragma once

#include "intro/variant.h"

// What a program says of itself in its usage.
struct ProgramAbout {
  const char* name;     // as the user types it
  const char* summary;  // what the program is, one line
  const char* files;    // the files it reads, a paragraph; empty when none
};

// The entry of both programs. The first argument that is -h or --help, or
// -V or --version, is answered on standard output with the usage or with
// the name and version, and the program ends with status 0 without the
// dialogue (1 when the answer cannot be written). Any other argument is
// ignored, and the intro runs as intro_run runs it.
int intro_main(int argc, char* argv[], const ProgramAbout& about, const IntroVariant& variant);

// Runs the dialogue on standard input and output, then the animation until
// the output is gone. Returns only when the program cannot go on (standard
// output closed, the dialogue unanswered, no memory for the screen, a frame
// that cannot be written), with the exit status for the program.
int intro_run(const IntroVariant& variant);
