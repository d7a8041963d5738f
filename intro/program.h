// The program entry that intro and intro-silent share.
#pragma once

#include "intro/variant.h"

// Runs the dialogue on standard input and output, then the animation until
// the output is gone. Returns only when the program cannot go on (standard
// output closed, the dialogue unanswered, no memory for the screen, a frame
// that cannot be written), with the exit status for the program.
int intro_run(const IntroVariant& variant);
