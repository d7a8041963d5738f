// compose-module: writes the intro's music module to the path given on the
// command line, e.g. `compose-module blumot.mod`, or with `--piano-roll`
// a picture of its score, e.g. `compose-module --piano-roll blumot.svg`.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "tools/modcompose/src/arrange.h"
#include "tools/modcompose/src/piano_roll.h"
#include "tools/modcompose/src/score.h"

namespace {

bool write_file(const char* path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  const bool picture = argc == 3 && std::string_view(argv[1]) == "--piano-roll";
  if (argc != 2 && !picture) {
    std::cerr << "usage: compose-module OUTPUT.mod\n"
                 "       compose-module --piano-roll OUTPUT.svg\n";
    return 2;
  }
  const char* output = argv[argc - 1];
  try {
    std::vector<uint8_t> bytes;
    if (picture) {
      const std::string svg = piano_roll_svg(blumot_song());
      bytes.assign(svg.begin(), svg.end());
    } else {
      bytes = compose(blumot_song());
    }
    if (!write_file(output, bytes)) {
      std::cerr << "compose-module: cannot write " << output << "\n";
      return 1;
    }
  } catch (const std::exception& error) {
    // A score that breaks the notation or the format stops the build.
    std::cerr << "compose-module: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
