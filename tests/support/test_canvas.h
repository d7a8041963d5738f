// A canvas owned by a test, a benchmark or a fuzzer. Freeing it also clears
// the current canvas where that is this one, so that nothing made later
// binds to freed memory.
#pragma once

#include <cstdint>
#include <memory>

#include "canvas/canvas.h"

struct CanvasRelease {
  void operator()(Canvas* canvas) const {
    if (current_canvas == canvas) current_canvas = nullptr;
    delete canvas;
  }
};

using OwnedCanvas = std::unique_ptr<Canvas, CanvasRelease>;

// A new current canvas of the given size.
inline OwnedCanvas owned_canvas(int32_t width, int32_t height) {
  OwnedCanvas canvas(canvas_create());
  canvas_resize(canvas.get(), width, height);
  return canvas;
}
