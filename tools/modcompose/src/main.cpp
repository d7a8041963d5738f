// compose-module: writes the intro's music module to the path given on the
// command line, e.g. `compose-module blumot.mod`.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <stdexcept>

#include "arrange.h"
#include "score.h"

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
  if (argc != 2) {
    std::cerr << "usage: compose-module OUTPUT.mod\n";
    return 2;
  }
  try {
    const std::vector<uint8_t> bytes = compose(blumot_song());
    if (!write_file(argv[1], bytes)) {
      std::cerr << "compose-module: cannot write " << argv[1] << "\n";
      return 1;
    }
  } catch (const std::exception& error) {
    // A score that breaks the notation or the format stops the build.
    std::cerr << "compose-module: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
