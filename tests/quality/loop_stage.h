// What a test needs to run the frame loop as a program runs it: a canvas at
// the screen size with the scene built on it from a fixed seed, and
// /dev/null as standard output, unbuffered as the programs set it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "canvas/canvas.h"
#include "intro/frame_loop.h"
#include "intro/scene.h"
#include "intro/variant.h"

struct NullOutput {
  NullOutput() : file(std::fopen("/dev/null", "w")) {
    if (file == nullptr) std::abort();
    std::setvbuf(file, nullptr, _IONBF, 0);
  }
  ~NullOutput() {
    std::fclose(file);
  }
  NullOutput(const NullOutput&) = delete;
  NullOutput& operator=(const NullOutput&) = delete;
  FILE* file;
};

struct LoopStage {
  LoopStage(int32_t width, int32_t height, const char* logo) : canvas(canvas_create()) {
    canvas_resize(canvas.get(), width, height);
    std::srand(2026);
    scene = scene_build(canvas.get(), logo);
  }
  std::unique_ptr<Canvas> canvas;
  Scene scene;
  NullOutput out;
};

// intro-silent's loop: the pause right after the present.
inline const IntroVariant silent_variant = {
    .banner_colour = "\033[34m",
    .end_hint = "\033[35mTo end intro press Ctrl-c.\033[0m\n\n",
    .logo = "/~~~\\\n|ORX|\n\\___/\n",
    .start_music = nullptr,
    .pause_after_present = frame_sleep,
    .pause_after_advance = nullptr,
};
