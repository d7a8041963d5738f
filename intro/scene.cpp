#include "intro/scene.h"

#include "canvas/text_file.h"
#include "intro/scroll_text.h"

namespace {

constexpr int32_t flat_wave_length = 20;
// All zero: the bottom scroller runs straight along its row.
const int32_t flat_x_wave[flat_wave_length] = {};
const int32_t flat_y_wave[flat_wave_length] = {};

std::unique_ptr<CyclicSequence> long_text_sequence() {
  return sequence_over(long_scroll_text, 1, text_length(long_scroll_text));
}

struct TrailMotion {
  int32_t spacing_x1, spacing_y1, spacing_x2, spacing_y2;
  int32_t vx1, vy1, vx2, vy2;
  char ch;
};

// Keeps the random start positions and echo count; replaces the motion.
std::unique_ptr<LineTrail> make_trail(const TrailMotion& motion) {
  std::unique_ptr<LineTrail> trail(trail_create());
  trail->spacing_x1 = motion.spacing_x1;
  trail->spacing_y1 = motion.spacing_y1;
  trail->spacing_x2 = motion.spacing_x2;
  trail->spacing_y2 = motion.spacing_y2;
  trail->vx1 = motion.vx1;
  trail->vy1 = motion.vy1;
  trail->vx2 = motion.vx2;
  trail->vy2 = motion.vy2;
  trail->ch = motion.ch;
  return trail;
}

}  // namespace

Scene scene_build(Canvas* canvas, const char* logo) {
  Scene scene;
  scene.middle.reset(scroller_create());
  scene.middle->y = 3 * canvas->height / 4;
  scene.middle->text = long_text_sequence();

  scene.bottom.reset(scroller_create());
  scene.bottom->y = canvas->height - 1;
  scene.bottom->text = long_text_sequence();
  scene.bottom->x_wave = sequence_over(flat_x_wave, 4, flat_wave_length);
  scene.bottom->y_wave = sequence_over(flat_y_wave, 4, flat_wave_length);

  // The two trails move in mirror image.
  scene.first = make_trail({3, 2, 3, 2, 1, -1, -1, 1, '+'});
  scene.second = make_trail({4, 3, 4, 3, -1, 1, 1, -1, '.'});

  scene.orbit = orbit_setup(canvas, logo);
  return scene;
}

void scene_draw(Scene& scene) {
  trail_draw(scene.first.get());
  trail_draw(scene.second.get());
  scroller_draw(scene.middle.get());
  scroller_draw(scene.bottom.get());
  orbit_draw(scene.orbit);
}

void scene_advance(Scene& scene) {
  orbit_advance(scene.orbit);
  scroller_advance(scene.middle.get());
  scroller_advance(scene.bottom.get());
  trail_advance(scene.first.get());
  trail_advance(scene.second.get());
}
