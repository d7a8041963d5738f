// What one frame of the intro costs, at three screen sizes, and what the
// cheapest possible frame costs for comparison: one write of a frame that
// is already laid out. Every frame goes to /dev/null through a stream that
// is unbuffered, like the intro's standard output.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "canvas/canvas.h"
#include "intro/frame_loop.h"
#include "intro/scene.h"

namespace {

constexpr char logo[] = "/~~~\\\n|ORX|\n\\___/\n";

// No pause: the benchmark measures the work of a pass, not the frame rate.
const IntroVariant no_pause = {
    .banner_colour = "",
    .end_hint = "",
    .logo = logo,
    .start_music = nullptr,
    .pause_after_present = nullptr,
    .pause_after_advance = nullptr,
};

// /dev/null as the intro's standard output is set up: unbuffered, so each
// frame leaves in one write.
struct NullStream {
  NullStream() : file(std::fopen("/dev/null", "w")) {
    if (file == nullptr) std::abort();
    std::setvbuf(file, nullptr, _IONBF, 0);
  }
  ~NullStream() {
    std::fclose(file);
  }
  NullStream(const NullStream&) = delete;
  NullStream& operator=(const NullStream&) = delete;
  FILE* file;
};

// A canvas of the benchmark's size with the scene built on it, from a fixed
// seed so that every run draws the same frames.
struct Stage {
  explicit Stage(const benchmark::State& state) : canvas(canvas_create()) {
    canvas_resize(canvas.get(), static_cast<int32_t>(state.range(0)),
                  static_cast<int32_t>(state.range(1)));
    std::srand(2026);
    scene = scene_build(canvas.get(), logo);
  }
  std::unique_ptr<Canvas> canvas;
  Scene scene;
};

void report_rate(benchmark::State& state) {
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.SetLabel(std::to_string(state.range(0)) + "x" + std::to_string(state.range(1)));
}

// The whole pass as the intro runs it: fill, draw, present, advance.
void BM_Pass(benchmark::State& state) {
  Stage stage(state);
  NullStream out;
  for (auto _ : state) frame_pass(stage.canvas.get(), stage.scene, out.file, no_pause, 0);
  report_rate(state);
}

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The same pass, step by step, with the time of one part only counted: the
// drawing side (fill, draw, advance) or the present (compose and write).
template <bool count_drawing>
void split_pass(benchmark::State& state) {
  Stage stage(state);
  NullStream out;
  Canvas* canvas = stage.canvas.get();
  for (auto _ : state) {
    double drawing = 0;
    double present = 0;
    Clock::time_point start = Clock::now();
    canvas_fill(canvas, ' ');
    scene_draw(stage.scene);
    drawing += seconds_since(start);
    start = Clock::now();
    canvas_present(canvas, out.file);
    present += seconds_since(start);
    start = Clock::now();
    scene_advance(stage.scene);
    drawing += seconds_since(start);
    state.SetIterationTime(count_drawing ? drawing : present);
  }
  report_rate(state);
}

void BM_PassDraw(benchmark::State& state) {
  split_pass<true>(state);
}
void BM_PassPresent(benchmark::State& state) {
  split_pass<false>(state);
}

// The floor: a frame of the same size, laid out beforehand, written through
// the same kind of stream.
void BM_Floor(benchmark::State& state) {
  const auto size = static_cast<size_t>(state.range(0) * state.range(1));
  std::vector<char> frame(size, ' ');
  for (size_t i = 0; i < size; i += static_cast<size_t>(state.range(0))) frame[i] = '\n';
  NullStream out;
  for (auto _ : state) {
    std::fwrite(frame.data(), 1, size, out.file);
    std::fflush(out.file);
  }
  report_rate(state);
}

void sizes(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgNames({"w", "h"})->Args({80, 25})->Args({160, 50})->Args({320, 100});
}

BENCHMARK(BM_Pass)->Apply(sizes)->UseRealTime();
BENCHMARK(BM_PassDraw)->Apply(sizes)->UseManualTime();
BENCHMARK(BM_PassPresent)->Apply(sizes)->UseManualTime();
BENCHMARK(BM_Floor)->Apply(sizes)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
