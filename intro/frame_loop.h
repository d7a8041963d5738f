// The endless frame loop: draw, present, pause and advance, once per frame.
#pragma once

#include <cstdint>
#include <cstdio>

#include "canvas/canvas.h"
#include "intro/scene.h"
#include "intro/variant.h"

// One pass: blank the canvas, draw the scene, present it as one frame, pause
// as the variant does, then advance the scene.
// Returns 0, or, at once, the errno of a frame that could not be written:
// the output is gone for good.
int frame_pass(Canvas* canvas, Scene& scene, FILE* out, const IntroVariant& variant,
               int32_t frame_period);
