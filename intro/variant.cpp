#include "intro/variant.h"

#include <unistd.h>

void frame_sleep(int32_t frame_period) {
  if (frame_period > 0) usleep(static_cast<useconds_t>(frame_period));
}

const IntroVariant silent_variant = {
    .banner_colour = "\033[34m",
    .end_hint = "\033[35mTo end intro press Ctrl-c.\033[0m\n\n",
    .logo = "/~~~\\\n|ORX|\n\\___/\n",
    .start_music = nullptr,
    .frames_begin = nullptr,
    .pause = frame_sleep,
};
