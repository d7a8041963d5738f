#include "canvas/canvas.h"

#include <algorithm>

#include "canvas/stream_write.h"

Canvas* current_canvas = nullptr;

Canvas* canvas_create() {
  auto* canvas = new Canvas{};
  canvas_resize(canvas, 80, 25);
  current_canvas = canvas;
  return canvas;
}

int64_t canvas_frame_size(const Canvas* canvas) {
  return int64_t{canvas->width} * canvas->height;
}

void canvas_resize(Canvas* canvas, int32_t width, int32_t height) {
  canvas->width = std::max(width, int32_t{1});
  canvas->height = std::max(height, int32_t{1});
  const int64_t size = canvas_frame_size(canvas);
  canvas->cells = std::make_unique<int32_t[]>(size);
  canvas->layout = std::make_unique<char[]>(size);
  canvas_fill(canvas, ' ');
}

void canvas_fill(Canvas* canvas, int32_t value) {
  std::fill_n(canvas->cells.get(), canvas_frame_size(canvas), value);
}

// Lays the frame out in canvas->layout: before each row the line end that
// closes the row above (or, for the first row, leads the frame), then the
// row's cells but the last, each as its low byte. The size is read into
// locals, which the byte stores cannot alias.
static void compose_frame(const Canvas* canvas) {
  const int32_t width = canvas->width;
  const int32_t height = canvas->height;
  const int32_t* row = canvas->cells.get();
  char* out = canvas->layout.get();
  for (int32_t r = 0; r < height; ++r, row += width) {
    *out++ = '\n';
    for (int32_t c = 0; c + 1 < width; ++c) *out++ = static_cast<char>(row[c]);
  }
}

int canvas_present(Canvas* canvas, FILE* out) {
  compose_frame(canvas);
  const int error =
      stream_write_all(out, canvas->layout.get(), static_cast<size_t>(canvas_frame_size(canvas)));
  // Wraps instead of overflowing on a run of more than 2^31 frames.
  canvas->frames = static_cast<int32_t>(static_cast<uint32_t>(canvas->frames) + 1u);
  return error;
}
