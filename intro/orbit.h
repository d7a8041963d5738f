// Five copies of a small three-line logo circling the centre of the screen
// on a looping path, drawn on top of everything else.
#pragma once

#include <cstdint>

#include "canvas/canvas.h"

struct LogoOrbit {
  Canvas* canvas = nullptr;  // not owned
  const char* logo = nullptr;
  int32_t x_position = 0;              // index into the x path, 0 to 97 between frames
  int32_t y_position = 0;              // index into the y path, 0 to 57 between frames
  int32_t centre_x = 0, centre_y = 0;  // where offset 0 puts a logo's corner
  int32_t scale_x = 0, scale_y = 0;    // cells per path unit
};

// Fits the path to the canvas's size; both positions start at 0.
LogoOrbit orbit_setup(Canvas* canvas, const char* logo);

// Draws the five copies, each 8 steps further along the x path and 4 along
// the y path than the one before; the positions are left as they were.
void orbit_draw(const LogoOrbit& orbit);

void orbit_advance(LogoOrbit& orbit);

// The paths, in path units.
extern const int32_t orbit_x_path[98];
extern const int32_t orbit_y_path[58];
