// intro's variant: the animation with its music.
#include "intro/variant.h"
#include "music/music.h"

const IntroVariant music_variant = {
    .banner_colour = "\033[31m",
    .end_hint = "\033[34mTo end intro press Ctrl-c.\033[0m\n\n",
    .logo = "|~~~|\n|ORX|\n|___|\n",
    .start_music = music_start,
    .frames_begin = music_play,
    .pause = frame_sleep,
};
