#include "intro/frame_loop.h"

#include <unistd.h>

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

void frame_sleep(int32_t frame_period) {
  if (frame_period > 0) usleep(static_cast<useconds_t>(frame_period));
}
