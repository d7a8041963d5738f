// A straight line whose two ends wander independently and bounce off the
// canvas edges, drawn with a fan of echoes displaced step by step.
#pragma once

#include <cstdint>

#include "canvas/canvas.h"

struct LineTrail {
  int32_t width = 0;  // the canvas's size at creation
  int32_t height = 0;
  Canvas* canvas = nullptr;  // not owned
  int32_t x1 = 0, y1 = 0;    // first end
  int32_t x2 = 0, y2 = 0;    // second end
  int32_t vx1 = 0, vy1 = 0;  // movement per advance
  int32_t vx2 = 0, vy2 = 0;
  // Displacement from one echo to the next; turns with its coordinate's
  // velocity at a bounce.
  int32_t spacing_x1 = 0, spacing_y1 = 0;
  int32_t spacing_x2 = 0, spacing_y2 = 0;
  int32_t echo_count = 0;  // lines per draw, the line itself included
  char ch = 'x';
};

// A trail on the current canvas (at least 1 x 1) with a random start drawn
// from rand(): twelve calls, ends first, then velocities, then spacings.
LineTrail* trail_create();
void trail_release(LineTrail* trail);

// Draws echo_count lines; the record is left unchanged.
void trail_draw(const LineTrail* trail);

// Moves both ends, bouncing each coordinate at the edges.
void trail_advance(LineTrail* trail);
