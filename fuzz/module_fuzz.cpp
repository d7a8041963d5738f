// Arbitrary bytes as intro's music module. The bytes are written to a file
// of the music's own name, "blumot.mod", in a folder of the target's own,
// and loaded the way the music loads it, through music_load, with the music's
// voice count and curiosity; a module that loads is started, played
// for a few services and freed. The library runs on its silent driver,
// which mixes into nothing.
#include <mikmod.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fuzz/fuzz_check.h"
#include "music/music.h"

namespace {

std::string folder;
std::string module_path;

void remove_folder() {
  std::filesystem::remove_all(folder);
}

void start_library() {
  char name[] = "/tmp/intro-module-fuzz-XXXXXX";
  FUZZ_CHECK(mkdtemp(name) != nullptr);
  folder = name;
  module_path = folder + "/" + music_file;
  std::atexit(remove_folder);
  MikMod_RegisterAllDrivers();
  MikMod_RegisterAllLoaders();
  md_mode |= DMODE_SOFT_MUSIC;
  md_device = static_cast<UWORD>(MikMod_DriverFromAlias("nosound"));
  FUZZ_CHECK(md_device != 0);
  FUZZ_CHECK(MikMod_Init("") == 0);
}

void write_module(const uint8_t* data, size_t size) {
  FILE* file = std::fopen(module_path.c_str(), "wb");
  FUZZ_CHECK(file != nullptr);
  FUZZ_CHECK(std::fwrite(data, 1, size, file) == size);
  FUZZ_CHECK(std::fclose(file) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool started = (start_library(), true);
  (void)started;
  write_module(data, size);
  MODULE* module = music_load(module_path.c_str());
  if (module == nullptr) return 0;
  Player_Start(module);
  for (int update = 0; update < 8 && Player_Active(); ++update) MikMod_Update();
  Player_Stop();
  Player_Free(module);
  return 0;
}
