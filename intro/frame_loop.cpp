#include "intro/frame_loop.h"

int frame_pass(Canvas* canvas, Scene& scene, FILE* out, const IntroVariant& variant,
               int32_t frame_period) {
  canvas_fill(canvas, ' ');
  scene_draw(scene);
  const int error = canvas_present(canvas, out);
  if (error != 0) return error;
  variant.pause(frame_period);
  scene_advance(scene);
  return 0;
}
