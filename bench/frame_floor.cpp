// The least a program can do to show frames at a frame rate: sleep one
// frame period, then write a frame of the screen's size, ready made, in one
// write, for ever. scripts/measure-cpu.sh runs it beside intro-silent, under
// the same conditions, to tell the intro's own cost from what the pause and
// the terminal cost any program on the machine.
//
// Usage: frame_floor WIDTH HEIGHT RATE
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: frame_floor WIDTH HEIGHT RATE\n", stderr);
    return 2;
  }
  const long width = std::atol(argv[1]);
  const long height = std::atol(argv[2]);
  const long rate = std::atol(argv[3]);
  if (width < 1 || height < 1 || rate < 1) return 2;
  std::vector<char> frame(static_cast<size_t>(width * height), ' ');
  for (size_t i = 0; i < frame.size(); i += static_cast<size_t>(width)) frame[i] = '\n';
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  const auto period = static_cast<useconds_t>(1000000 / rate);
  for (;;) {
    std::fwrite(frame.data(), 1, frame.size(), stdout);
    if (period > 0) usleep(period);
  }
}
