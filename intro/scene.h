// The animation: two line trails at the back, a waved scroller across the
// lower middle and a flat one on the last line, and the logo orbit on top.
#pragma once

#include <memory>

#include "canvas/canvas.h"
#include "effects/scroller.h"
#include "effects/trail.h"
#include "intro/orbit.h"

struct Scene {
  std::unique_ptr<WaveScroller> middle;
  std::unique_ptr<WaveScroller> bottom;
  std::unique_ptr<LineTrail> first;   // '+'
  std::unique_ptr<LineTrail> second;  // '.', the mirror image of the first
  LogoOrbit orbit;
};

// Builds the scene on the canvas, which must be the current one at its final
// size. The trails take their start from rand(), first trail first.
Scene scene_build(Canvas* canvas, const char* logo);

// Later steps overwrite earlier ones: trails, then scrollers, then logos.
void scene_draw(Scene& scene);

// Orbit, scrollers, trails. Runs after the frame is presented, so the
// scrollers see the frame just shown in the canvas's count.
void scene_advance(Scene& scene);
