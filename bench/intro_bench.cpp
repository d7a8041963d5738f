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
#include "tests/support/loop_stage.h"

namespace {

// The intro's stage at the benchmark's size. With a frame period of 0 the
// silent variant does not pause: the benchmark measures the work of a pass,
// not the frame rate.
LoopStage stage_of(const benchmark::State& state) {
  return LoopStage(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)),
                   silent_variant.logo);
}

void report_rate(benchmark::State& state) {
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.SetLabel(std::to_string(state.range(0)) + "x" + std::to_string(state.range(1)));
}

// The whole pass as the intro runs it: fill, draw, present, advance.
void BM_Pass(benchmark::State& state) {
  LoopStage stage = stage_of(state);
  for (auto _ : state)
    frame_pass(stage.canvas.get(), stage.scene, stage.out.file, silent_variant, 0);
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
  LoopStage stage = stage_of(state);
  Canvas* canvas = stage.canvas.get();
  for (auto _ : state) {
    double drawing = 0;
    double present = 0;
    Clock::time_point start = Clock::now();
    canvas_fill(canvas, ' ');
    scene_draw(stage.scene);
    drawing += seconds_since(start);
    start = Clock::now();
    canvas_present(canvas, stage.out.file);
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
  NullOutput out;
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
