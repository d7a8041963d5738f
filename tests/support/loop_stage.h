// What a benchmark or a test needs to run the frame loop as a program runs
// it: a canvas at the screen size with the scene built on it from a fixed
// seed, and /dev/null as standard output, unbuffered as the programs set it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "intro/frame_loop.h"
#include "intro/scene.h"
#include "tests/support/test_canvas.h"

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
  LoopStage(int32_t width, int32_t height, const char* logo) : canvas(owned_canvas(width, height)) {
    std::srand(2026);
    scene = scene_build(canvas.get(), logo);
  }
  OwnedCanvas canvas;
  Scene scene;
  NullOutput out;
};
