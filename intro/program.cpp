#include "intro/program.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "canvas/canvas.h"
#include "intro/dialogue.h"
#include "intro/frame_loop.h"
#include "intro/scene.h"
#include "intro/settings.h"

static void report_unanswered(DialogueResult result) {
  if (result == DialogueResult::input_failed) {
    std::fprintf(stderr, "Could not read the answer: %s\n", std::strerror(errno));
  } else {
    std::fputs("Input ended before the dialogue was answered.\n", stderr);
  }
}

int intro_run(const IntroVariant& variant) {
  // Unbuffered, every prompt shows before its answer is read, and each frame,
  // handed over in one piece, leaves in one write: a terminal never shows
  // half a frame.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  IntroSettings& settings = intro_settings;
  settings.input = stdin;
  settings.output = stdout;
  if (variant.start_music != nullptr) variant.start_music();

  const DialogueResult result = dialogue_run(variant, settings.input, settings.output, &settings);
  if (result != DialogueResult::answered) {
    report_unanswered(result);
    return EXIT_FAILURE;
  }
  std::srand(static_cast<unsigned>(std::time(nullptr)));

  Canvas* canvas = canvas_create();
  canvas_resize(canvas, settings.screen_width, settings.screen_height);
  Scene scene = scene_build(canvas, variant.logo);
  for (;;) frame_pass(canvas, scene, settings.output, variant, settings.frame_period);
}
