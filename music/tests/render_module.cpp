// render_module MODULE SECONDS WAV: mixes the first SECONDS of a module with
// the music's own mixer settings into a WAV file, for a player to play as a
// control next to intro.
#include <mikmod.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "music/mixer.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: render_module MODULE SECONDS WAV\n");
    return 2;
  }
  MikMod_RegisterAllDrivers();
  MikMod_RegisterAllLoaders();
  mixer_settings_apply();
  md_device = static_cast<UWORD>(MikMod_DriverFromAlias("wav"));
  const std::string options = std::string("file=") + argv[3];
  if (md_device == 0 || MikMod_Init(options.c_str()) != 0) {
    std::fprintf(stderr, "render_module: no WAV writer: %s\n", MikMod_strerror(MikMod_errno));
    return 1;
  }
  MODULE* module = Player_Load(argv[1], 4, 0);
  if (module == nullptr) {
    std::fprintf(stderr, "render_module: %s: %s\n", argv[1], MikMod_strerror(MikMod_errno));
    MikMod_Exit();
    return 1;
  }
  // Song time is in 1/1024 s.
  const unsigned long end = std::strtoul(argv[2], nullptr, 10) * 1024;
  Player_Start(module);
  while (Player_Active() && module->sngtime < end) MikMod_Update();
  Player_Stop();
  Player_Free(module);
  MikMod_Exit();
  return 0;
}
