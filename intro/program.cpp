#include "intro/program.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>
#include <string_view>

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
  // From here on the music keeps quiet: nothing of it lands on a frame.
  if (variant.frames_begin != nullptr) variant.frames_begin();
  for (;;) {
    const int error = frame_pass(canvas, scene, settings.output, variant, settings.frame_period);
    if (error != 0) {
      std::fprintf(stderr, "Could not write the frame: %s\n", std::strerror(error));
      return EXIT_FAILURE;
    }
  }
}

enum class ProgramOption { none, help, version };

// The first argument that asks for the usage or the version; every other
// argument is ignored.
ProgramOption option_find(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "-h" || argument == "--help") return ProgramOption::help;
    if (argument == "-V" || argument == "--version") return ProgramOption::version;
  }
  return ProgramOption::none;
}

void usage_print(const ProgramAbout& about) {
  std::printf("Usage: %s [-h | --help | -V | --version]\n%s\n\n", about.name, about.summary);
  std::fputs(
      "It asks two questions, each a menu answered with a digit and Enter: the\n"
      "size of the screen (columns x lines) and the frame rate. Then it plays an\n"
      "endless animation on standard output until Ctrl-c ends it.\n\n",
      stdout);
  if (about.files[0] != '\0') std::printf("%s\n\n", about.files);
  std::fputs(
      "  -h, --help     print this help and exit\n"
      "  -V, --version  print the name and version and exit\n"
      "Any other argument is ignored. The manual: man blumot\n",
      stdout);
}

// Answers the option on standard output; returns the exit status.
int option_answer(ProgramOption option, const ProgramAbout& about) {
  if (option == ProgramOption::help) {
    usage_print(about);
  } else {
    std::printf("%s (blumot) %s\n", about.name, INTRO_VERSION);
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "Could not write to standard output: %s\n", std::strerror(errno));
    return EXIT_FAILURE;
  }
  return EXIT_SUCCESS;
}

}  // namespace

int intro_main(int argc, char* argv[], const ProgramAbout& about, const IntroVariant& variant) {
  const ProgramOption option = option_find(argc, argv);
  if (option != ProgramOption::none) return option_answer(option, about);
  return intro_run(variant);
}

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
