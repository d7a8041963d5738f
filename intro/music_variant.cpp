// intro's variant: the animation with its music.
#include "intro/variant.h"
#include "music/music.h"

namespace {

// The pause of intro-silent; the first one also lets the music begin, with
// the first frame on the screen.
void play_and_sleep(int32_t frame_period) {
  music_play();
  frame_sleep(frame_period);
}

}  // namespace

const IntroVariant music_variant = {
    .banner_colour = "\033[31m",
    .end_hint = "\033[34mTo end intro press Ctrl-c.\033[0m\n\n",
    .logo = "|~~~|\n|ORX|\n|___|\n",
    .start_music = music_start,
    .pause = play_and_sleep,
};
