#include "intro/orbit.h"

#include "canvas/draw.h"
#include "effects/sequence.h"

namespace {

constexpr int32_t x_path_length = 98;
constexpr int32_t y_path_length = 58;
constexpr int32_t x_divisor = 40;  // the width that makes one path unit one column
constexpr int32_t y_divisor = 20;
constexpr int32_t copies = 5;
constexpr int32_t x_copy_spacing = 8;
constexpr int32_t y_copy_spacing = 4;

}  // namespace

// One swing out to +18, back through 0 to -18 and back.
const int32_t orbit_x_path[x_path_length] = {
    0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  11,  12,  13,  14,  14,
    15,  16,  16,  17,  17,  18,  18,  18,  18,  18,  18,  17,  17,  16,  16,  15,  14,
    14,  13,  12,  11,  11,  10,  9,   8,   7,   6,   5,   4,   3,   2,   1,   0,   -1,
    -2,  -3,  -4,  -5,  -6,  -7,  -8,  -9,  -10, -11, -11, -12, -13, -14, -14, -15, -16,
    -16, -17, -17, -18, -18, -18, -18, -18, -18, -17, -17, -16, -16, -15, -14, -14, -13,
    -12, -11, -11, -10, -9,  -8,  -7,  -6,  -5,  -4,  -3,  -2,  -1,
};

// One swing between +9 and -9.
const int32_t orbit_y_path[y_path_length] = {
    0,  1,  2,  3,  4,  5,  6,  7,  7,  8,  8,  9,  9,  9,  9,  9,  9,  9,  9,  8,
    8,  7,  7,  6,  5,  4,  3,  2,  1,  0,  -1, -2, -3, -4, -5, -6, -7, -7, -8, -8,
    -9, -9, -9, -9, -9, -9, -9, -9, -8, -8, -7, -7, -6, -5, -4, -3, -2, -1,
};

LogoOrbit orbit_setup(Canvas* canvas, const char* logo) {
  LogoOrbit orbit;
  orbit.canvas = canvas;
  orbit.logo = logo;
  orbit.centre_x = canvas->width / 2 - 3;
  orbit.centre_y = canvas->height / 2 - 2;
  orbit.scale_x = canvas->width / x_divisor;
  orbit.scale_y = canvas->height / y_divisor;
  return orbit;
}

void orbit_draw(const LogoOrbit& orbit) {
  int32_t px = orbit.x_position;
  int32_t py = orbit.y_position;
  for (int32_t copy = 0; copy < copies; ++copy) {
    canvas_draw_text(orbit.canvas, orbit_x_path[px] * orbit.scale_x + orbit.centre_x,
                     orbit_y_path[py] * orbit.scale_y + orbit.centre_y, orbit.logo);
    px = cycle_wrap(px + x_copy_spacing, x_path_length);
    py = cycle_wrap(py + y_copy_spacing, y_path_length);
  }
}

void orbit_advance(LogoOrbit& orbit) {
  orbit.x_position = cycle_wrap(orbit.x_position + 1, x_path_length);
  orbit.y_position = cycle_wrap(orbit.y_position + 1, y_path_length);
}
