// A picture of the song: an SVG piano roll of what the module plays.
#pragma once

#include <string>

#include "tools/modcompose/src/score.h"

// Time runs to the right, one row of the module at a time. Each voice has a
// lane of its own (lead; chords, echo and descant; bass; drums) with pitch
// upwards; a note is a bar as long as it sounds, as opaque as it is loud.
// The drum lane has a line for each drum of the kit, whatever channel
// strikes it. The sections of the form are named above the lanes.
std::string piano_roll_svg(const Song& song);
