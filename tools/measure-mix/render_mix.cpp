// render-mix MODULE WAV [CHANNEL]: plays a module through libmikmod with
// intro's mixer settings into a WAV file, optionally with every channel but
// one muted, and prints on standard output what the measurement needs and
// the sound cannot tell: the module's samples, whether each loops, and the
// song time at which every row starts.
//
// Printed lines:
//   channels N
//   row POSITION ROW SECONDS
//   end SECONDS                     (where the song ends or loops)
//   sample NUMBER loop|once LENGTH PLAYS NAME   (empty slots left out)
#include <mikmod.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Longest render: a song that never ends or loops stops here.
constexpr unsigned long longest_song_seconds = 30 * 60;

MODULE* playing = nullptr;
MikMod_player_t library_player = nullptr;
int32_t highest_position = 0;
bool looped = false;
unsigned long loop_time = 0;

// How often the mixer started each sample handle, counted in the driver's
// own entry so that no sample the song plays goes unseen.
std::vector<int32_t> plays_of_handle;
void (*driver_voice_play)(UBYTE, SWORD, ULONG, ULONG, ULONG, ULONG, UWORD) = nullptr;

void counting_voice_play(UBYTE voice, SWORD handle, ULONG start, ULONG size, ULONG loop_start,
                         ULONG loop_end, UWORD flags) {
  if (handle >= 0) {
    if (plays_of_handle.size() <= static_cast<std::size_t>(handle)) {
      plays_of_handle.resize(static_cast<std::size_t>(handle) + 1);
    }
    ++plays_of_handle[static_cast<std::size_t>(handle)];
  }
  driver_voice_play(voice, handle, start, size, loop_start, loop_end, flags);
}

// Runs once a tick inside the mixer: the library's own player, then a note
// of every new row with the song time at which its tick began. A jump back
// to an earlier position is where the song starts over; it ends there.
void player_tick() {
  const unsigned long tick_start = playing->sngtime;
  const int32_t position = playing->sngpos;
  const int32_t row = playing->patpos;
  library_player();
  if (playing->sngpos < highest_position && !looped) {
    looped = true;
    loop_time = tick_start;
  }
  if (playing->sngpos > highest_position) highest_position = playing->sngpos;
  if (!looped && (playing->sngpos != position || playing->patpos != row || tick_start == 0)) {
    std::printf("row %d %d %.4f\n", playing->sngpos, playing->patpos, tick_start / 1024.0);
  }
}

bool start_library(const char* wav_file) {
  MikMod_RegisterAllDrivers();
  MikMod_RegisterAllLoaders();
  // The mixer intro plays with: software, interpolating, high quality;
  // the library's defaults for everything else.
  md_mode |= DMODE_SOFT_MUSIC | DMODE_INTERP | DMODE_HQMIXER;
  md_device = static_cast<UWORD>(MikMod_DriverFromAlias("wav"));
  driver_voice_play = drv_wav.VoicePlay;
  drv_wav.VoicePlay = counting_voice_play;
  const std::string options = std::string("file=") + wav_file;
  if (md_device == 0 || MikMod_Init(options.c_str()) != 0) {
    std::fprintf(stderr, "render-mix: no WAV writer: %s\n", MikMod_strerror(MikMod_errno));
    return false;
  }
  return true;
}

void print_samples(const MODULE* module) {
  for (int32_t i = 0; i < module->numsmp; ++i) {
    const SAMPLE& sample = module->samples[i];
    if (sample.length == 0) continue;
    const auto handle = static_cast<std::size_t>(sample.handle);
    const int32_t plays = handle < plays_of_handle.size() ? plays_of_handle[handle] : 0;
    std::printf("sample %d %s %lu %d %s\n", i + 1, (sample.flags & SF_LOOP) ? "loop" : "once",
                static_cast<unsigned long>(sample.length), plays,
                sample.samplename ? sample.samplename : "");
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: render-mix MODULE WAV [CHANNEL]\n");
    return 2;
  }
  if (!start_library(argv[2])) return 1;
  // Loaded as intro loads it: 4 voices, the declared order list only.
  playing = Player_Load(argv[1], 4, 0);
  if (playing == nullptr) {
    std::fprintf(stderr, "render-mix: %s: %s\n", argv[1], MikMod_strerror(MikMod_errno));
    MikMod_Exit();
    return 1;
  }
  std::printf("channels %d\n", playing->numchn);
  library_player = MikMod_RegisterPlayer(player_tick);
  Player_Start(playing);
  if (argc == 4) {
    const int32_t solo = std::atoi(argv[3]);
    for (int32_t channel = 0; channel < playing->numchn; ++channel) {
      if (channel != solo) Player_Mute(channel);
    }
  }
  while (Player_Active() && !looped && playing->sngtime < longest_song_seconds * 1024) {
    MikMod_Update();
  }
  std::printf("end %.4f\n", (looped ? loop_time : playing->sngtime) / 1024.0);
  print_samples(playing);
  Player_Stop();
  Player_Free(playing);
  MikMod_Exit();  // closes the WAV file and writes its sizes
  return 0;
}
