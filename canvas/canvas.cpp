#include "canvas/canvas.h"

#include <algorithm>
#include <cstring>

#include "canvas/stream_write.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define CANVAS_AVX2 1
#endif

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
  canvas->frame = std::make_unique<char[]>(size);
  canvas_fill(canvas, ' ');
}

// Every frame starts with a fill of the whole grid, so it runs in wide
// moves: a short run is stored one cell at a time and then copied onto the
// rest in doubling pieces, which the C library moves with its widest
// instructions.
void canvas_fill(Canvas* canvas, int32_t value) {
  int32_t* cells = canvas->cells.get();
  const int64_t size = canvas_frame_size(canvas);
  int64_t filled = std::min<int64_t>(size, 64);
  std::fill_n(cells, filled, value);
  while (filled < size) {
    const int64_t piece = std::min(filled, size - filled);
    std::memcpy(cells + filled, cells, static_cast<size_t>(piece) * sizeof *cells);
    filled += piece;
  }
}

#if CANVAS_AVX2
// Thirty-two cells at a time on processors with AVX2, chosen at run time;
// returns how many cells it did. The packs work within each 128-bit half,
// so the result's 4-byte groups come out interleaved, and one permutation
// puts them in order.
__attribute__((target("avx2"))) static int64_t narrow_cells_avx2(const int32_t* cells,
                                                                 int64_t count, char* out) {
  const __m256i low_byte = _mm256_set1_epi32(0xff);
  const __m256i in_order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
  int64_t c = 0;
  for (; c + 32 <= count; c += 32) {
    const auto* in = reinterpret_cast<const __m256i*>(cells + c);
    const __m256i a = _mm256_and_si256(_mm256_loadu_si256(in), low_byte);
    const __m256i b = _mm256_and_si256(_mm256_loadu_si256(in + 1), low_byte);
    const __m256i d = _mm256_and_si256(_mm256_loadu_si256(in + 2), low_byte);
    const __m256i e = _mm256_and_si256(_mm256_loadu_si256(in + 3), low_byte);
    const __m256i bytes = _mm256_packus_epi16(_mm256_packs_epi32(a, b), _mm256_packs_epi32(d, e));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + c),
                        _mm256_permutevar8x32_epi32(bytes, in_order));
  }
  return c;
}

// Read at start-up, perhaps before the C runtime has read the processor's
// features itself; hence the explicit initialisation.
static const bool has_avx2 = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
#endif

// The low byte of each of `count` cells, in order.
static void narrow_cells(const int32_t* cells, int64_t count, char* out) {
  int64_t c = 0;
#if CANVAS_AVX2
  if (has_avx2) c = narrow_cells_avx2(cells, count, out);
#endif
#if defined(__SSE2__)
  // Sixteen cells at a time: masked to their low byte, the values fit the
  // saturating packs unchanged.
  const __m128i low_byte = _mm_set1_epi32(0xff);
  for (; c + 16 <= count; c += 16) {
    const auto* in = reinterpret_cast<const __m128i*>(cells + c);
    const __m128i a = _mm_and_si128(_mm_loadu_si128(in), low_byte);
    const __m128i b = _mm_and_si128(_mm_loadu_si128(in + 1), low_byte);
    const __m128i d = _mm_and_si128(_mm_loadu_si128(in + 2), low_byte);
    const __m128i e = _mm_and_si128(_mm_loadu_si128(in + 3), low_byte);
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(d, e));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + c), bytes);
  }
#endif
  for (; c < count; ++c) out[c] = static_cast<char>(cells[c]);
}

// Lays the frame out in canvas->frame: the line end that leads every row,
// then the row's cells but the last, whose place the next line end takes.
// Each row thus occupies exactly width bytes, and cell i of the grid lands
// at byte i + 1. So the cells go over in one run, the last cell of each row
// landing where the next row's line end goes, and the line ends are written
// over them afterwards; the grid's very last cell falls past the frame and
// is not taken.
static void compose_frame(const Canvas* canvas) {
  const int64_t size = canvas_frame_size(canvas);
  char* out = canvas->frame.get();
  narrow_cells(canvas->cells.get(), size - 1, out + 1);
  for (int64_t at = 0; at < size; at += canvas->width) out[at] = '\n';
}

int canvas_present(Canvas* canvas, FILE* out) {
  compose_frame(canvas);
  const int error =
      stream_write_all(out, canvas->frame.get(), static_cast<size_t>(canvas_frame_size(canvas)));
  // Wraps instead of overflowing on a run of more than 2^31 frames.
  canvas->frames = static_cast<int32_t>(static_cast<uint32_t>(canvas->frames) + 1u);
  return error;
}
