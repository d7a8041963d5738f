// The program entry that intro and intro-silent share.
#pragma once

#include "intro/variant.h"

// Runs the dialogue on standard input and output, then the animation for
// ever. Returns only when the dialogue could not be answered, with the exit
// status for the program.
int intro_run(const IntroVariant& variant);
