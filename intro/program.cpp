#include "intro/program.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>

#include "canvas/canvas.h"
#include "intro/dialogue.h"
#include "intro/frame_loop.h"
#include "intro/scene.h"
#include "intro/settings.h"

namespace {

bool descriptor_closed(int fd) {
  return fcntl(fd, F_GETFD) == -1 && errno == EBADF;
}

// A file opened while a standard descriptor is closed takes its number: the
// sound library's pipe would then receive the frames, or a socket the
// messages. So each closed one is held by /dev/null before anything else
// opens a file; an open takes the lowest free number, and going up from 0
// puts each where it belongs. False when standard output was closed.
bool standard_descriptors_hold() {
  bool output_open = true;
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (!descriptor_closed(fd)) continue;
    output_open = output_open && fd != STDOUT_FILENO;
    // Without /dev/null the descriptor stays closed, and its writes fail.
    const int held = open("/dev/null", O_RDWR);
    static_cast<void>(held);
  }
  return output_open;
}

void report_unanswered(DialogueResult result) {
  if (result == DialogueResult::input_failed) {
    std::fprintf(stderr, "Could not read the answer: %s\n", std::strerror(errno));
  } else if (result == DialogueResult::answer_too_long) {
    std::fputs("The answer is too long.\n", stderr);
  } else {
    std::fputs("Input ended before the dialogue was answered.\n", stderr);
  }
}

// The canvas at the chosen screen size and the scene on it; false when the
// memory for them cannot be had.
bool screen_build(const IntroSettings& settings, const char* logo, Canvas** canvas, Scene* scene) {
  try {
    *canvas = canvas_create();
    canvas_resize(*canvas, settings.screen_width, settings.screen_height);
    *scene = scene_build(*canvas, logo);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// Draws frames until the output is gone; returns the exit status.
int animate(const IntroVariant& variant, const IntroSettings& settings) {
  Canvas* canvas = nullptr;
  Scene scene;
  if (!screen_build(settings, variant.logo, &canvas, &scene)) {
    std::fprintf(stderr, "Not enough memory for a %dx%d screen.\n",
                 static_cast<int>(settings.screen_width), static_cast<int>(settings.screen_height));
    return EXIT_FAILURE;
  }
  for (;;) {
    const int error = frame_pass(canvas, scene, settings.output, variant, settings.frame_period);
    if (error != 0) {
      std::fprintf(stderr, "Could not write the frame: %s\n", std::strerror(error));
      return EXIT_FAILURE;
    }
  }
}

}  // namespace

int intro_run(const IntroVariant& variant) {
  if (!standard_descriptors_hold()) {
    std::fputs("Standard output is closed.\n", stderr);
    return EXIT_FAILURE;
  }
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
  return animate(variant, settings);
}
