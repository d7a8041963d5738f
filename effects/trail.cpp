#include "effects/trail.h"

#include <cstdlib>

#include "canvas/draw.h"

LineTrail* trail_create() {
  auto* trail = new LineTrail{};
  Canvas* canvas = current_canvas;
  trail->canvas = canvas;
  trail->width = canvas->width;
  trail->height = canvas->height;
  // The order of the rand() calls is part of the result: one seed gives one
  // start, trail after trail.
  trail->x1 = std::rand() % trail->width;
  trail->y1 = std::rand() % trail->height;
  trail->x2 = std::rand() % trail->width;
  trail->y2 = std::rand() % trail->height;
  for (int32_t* velocity : {&trail->vx1, &trail->vy1, &trail->vx2, &trail->vy2}) {
    *velocity = (std::rand() & 1) + 1;
  }
  for (int32_t* spacing :
       {&trail->spacing_x1, &trail->spacing_y1, &trail->spacing_x2, &trail->spacing_y2}) {
    *spacing = (std::rand() & 7) + 1;
  }
  trail->echo_count = canvas->height >> 2;
  trail->ch = 'x';
  return trail;
}

void trail_release(LineTrail* trail) {
  delete trail;
}

// A direction turned round. The most negative value has no opposite in 32
// bits and stays as it is; any other value is simply negated.
static int32_t turned(int32_t direction) {
  return static_cast<int32_t>(0u - static_cast<uint32_t>(direction));
}

// Moves a coordinate and keeps it on [0, limit): past an edge it stops on
// the edge cell (the overshoot is dropped) and the given directions turn.
static void move_and_bounce(int32_t& coordinate, int32_t delta, int32_t limit, int32_t& direction,
                            int32_t* also_turns = nullptr) {
  const int64_t moved = int64_t{coordinate} + delta;
  bool bounced = true;
  if (moved < 0) {
    coordinate = 0;
  } else if (moved >= limit) {
    coordinate = limit - 1;
  } else {
    coordinate = static_cast<int32_t>(moved);
    bounced = false;
  }
  if (bounced) {
    direction = turned(direction);
    if (also_turns != nullptr) *also_turns = turned(*also_turns);
  }
}

void trail_draw(const LineTrail* trail) {
  const int32_t width = trail->canvas->width;
  const int32_t height = trail->canvas->height;
  int32_t x1 = trail->x1, y1 = trail->y1, x2 = trail->x2, y2 = trail->y2;
  int32_t sx1 = trail->spacing_x1, sy1 = trail->spacing_y1;
  int32_t sx2 = trail->spacing_x2, sy2 = trail->spacing_y2;
  for (int32_t echo = 0; echo < trail->echo_count; ++echo) {
    canvas_draw_line(trail->canvas, x1, y1, x2, y2, trail->ch);
    move_and_bounce(x1, sx1, width, sx1);
    move_and_bounce(y1, sy1, height, sy1);
    move_and_bounce(x2, sx2, width, sx2);
    move_and_bounce(y2, sy2, height, sy2);
  }
}

void trail_advance(LineTrail* trail) {
  const int32_t width = trail->canvas->width;
  const int32_t height = trail->canvas->height;
  move_and_bounce(trail->x1, trail->vx1, width, trail->vx1, &trail->spacing_x1);
  move_and_bounce(trail->y1, trail->vy1, height, trail->vy1, &trail->spacing_y1);
  move_and_bounce(trail->x2, trail->vx2, width, trail->vx2, &trail->spacing_x2);
  move_and_bounce(trail->y2, trail->vy2, height, trail->vy2, &trail->spacing_y2);
}
