// intro's variant: the animation with its music.
#include <csignal>

#include "intro/variant.h"
#include "music/music.h"

namespace {

// Some of libmikmod's output drivers (SDL's) take over the interrupt and
// termination signals, even when they fail to start; Ctrl-c must end the
// intro as it ends intro-silent.
void start_music() {
  music_start();
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
}

// The frame period is read by frame_wait itself, from the settings.
void wait_for_next_frame(int32_t) {
  frame_wait();
}

}  // namespace

const IntroVariant music_variant = {
    .banner_colour = "\033[31m",
    .end_hint = "\033[34mTo end intro press Ctrl-c.\033[0m\n\n",
    .logo = "|~~~|\n|ORX|\n|___|\n",
    .start_music = start_music,
    .pause_after_present = nullptr,
    .pause_after_advance = wait_for_next_frame,
};
