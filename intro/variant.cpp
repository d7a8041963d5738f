#include "intro/variant.h"

#include "intro/frame_loop.h"

const IntroVariant silent_variant = {
    .banner_colour = "\033[34m",
    .end_hint = "\033[35mTo end intro press Ctrl-c.\033[0m\n\n",
    .logo = "/~~~\\\n|ORX|\n\\___/\n",
    .start_music = nullptr,
    .pause = frame_sleep,
};
