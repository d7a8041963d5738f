// render-mix MODULE WAV [CHANNEL]: plays a module through libmikmod with
// intro's mixer settings into a WAV file, optionally with every channel but
// one muted, and prints on standard output what the measurement needs and
// the sound cannot tell: the song time at which every row starts, the
// module's samples, whether each loops and how often the song started it,
// and the rates at which it started them.
// render-mix MODULE WAV --sample NUMBER HZ: plays one of the module's
// samples alone, once, at HZ through the same mixer, to hear a drum by
// itself as the song plays it.
//
// Printed lines:
//   channels N
//   row POSITION ROW SECONDS
//   end SECONDS                     (where the song ends or loops)
//   sample NUMBER loop|once LENGTH PLAYS NAME   (empty slots left out)
//   rate NUMBER HZ PLAYS            (notes of the sample started at HZ)
#include <mikmod.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "music/mixer.h"

namespace {

// Longest render: a song that never ends or loops stops here.
constexpr unsigned long longest_song_seconds = 30 * 60;

// libmikmod calls its player and its driver without an argument of ours,
// so what they watch lives here, once for the process.
struct Watch {
  MODULE* module = nullptr;
  MikMod_player_t library_player = nullptr;
  void (*driver_voice_play)(UBYTE, SWORD, ULONG, ULONG, ULONG, ULONG, UWORD) = nullptr;
  void (*driver_voice_set_frequency)(UBYTE, ULONG) = nullptr;
  int32_t highest_position = 0;
  bool looped = false;
  unsigned long loop_time = 0;
  std::vector<int32_t> plays_of_handle;  // notes started, by sample handle
  // The handle each voice has just started, until its first frequency.
  std::map<UBYTE, SWORD> started_on_voice;
  std::map<std::pair<SWORD, ULONG>, int32_t> plays_of_handle_at;  // by handle and Hz
};
Watch watch;

// The driver's entry for a new note, counting the samples started, so that
// no sample the song plays goes unseen.
void counting_voice_play(UBYTE voice, SWORD handle, ULONG start, ULONG size, ULONG loop_start,
                         ULONG loop_end, UWORD flags) {
  if (handle >= 0) {
    const auto index = static_cast<std::size_t>(handle);
    if (watch.plays_of_handle.size() <= index) watch.plays_of_handle.resize(index + 1);
    ++watch.plays_of_handle[index];
    watch.started_on_voice[voice] = handle;
  }
  watch.driver_voice_play(voice, handle, start, size, loop_start, loop_end, flags);
}

// The first frequency a voice gets after a note starts is the note's rate.
void counting_voice_set_frequency(UBYTE voice, ULONG hz) {
  const auto started = watch.started_on_voice.find(voice);
  if (started != watch.started_on_voice.end()) {
    ++watch.plays_of_handle_at[{started->second, hz}];
    watch.started_on_voice.erase(started);
  }
  watch.driver_voice_set_frequency(voice, hz);
}

// Runs once a tick inside the mixer: the library's own player, then a note
// of every new row with the song time at which its tick began. A jump back
// to an earlier position is where the song starts over; it ends there.
void player_tick() {
  MODULE& module = *watch.module;
  const unsigned long tick_start = module.sngtime;
  const int32_t position = module.sngpos;
  const int32_t row = module.patpos;
  watch.library_player();
  if (module.sngpos < watch.highest_position && !watch.looped) {
    watch.looped = true;
    watch.loop_time = tick_start;
  }
  if (module.sngpos > watch.highest_position) watch.highest_position = module.sngpos;
  if (!watch.looped && (module.sngpos != position || module.patpos != row || tick_start == 0)) {
    std::printf("row %d %d %.4f\n", module.sngpos, module.patpos, tick_start / 1024.0);
  }
}

bool start_library(const char* wav_file) {
  MikMod_RegisterAllDrivers();
  MikMod_RegisterAllLoaders();
  mixer_settings_apply();  // the mixer intro plays with
  md_device = static_cast<UWORD>(MikMod_DriverFromAlias("wav"));
  watch.driver_voice_play = drv_wav.VoicePlay;
  drv_wav.VoicePlay = counting_voice_play;
  watch.driver_voice_set_frequency = drv_wav.VoiceSetFrequency;
  drv_wav.VoiceSetFrequency = counting_voice_set_frequency;
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
    const int32_t plays = handle < watch.plays_of_handle.size() ? watch.plays_of_handle[handle] : 0;
    std::printf("sample %d %s %lu %d %s\n", i + 1, (sample.flags & SF_LOOP) ? "loop" : "once",
                static_cast<unsigned long>(sample.length), plays,
                sample.samplename ? sample.samplename : "");
  }
  for (const auto& [handle_and_hz, plays] : watch.plays_of_handle_at) {
    for (int32_t i = 0; i < module->numsmp; ++i) {
      if (module->samples[i].length != 0 && module->samples[i].handle == handle_and_hz.first) {
        std::printf("rate %d %lu %d\n", i + 1, static_cast<unsigned long>(handle_and_hz.second),
                    plays);
      }
    }
  }
}

constexpr int32_t all_channels = -1;
constexpr int32_t no_such_channel = -2;

// The channel to hear alone, from the optional third argument.
int32_t solo_channel(int argc, char** argv, const MODULE& module) {
  if (argc < 4) return all_channels;
  char* end = nullptr;
  const long channel = std::strtol(argv[3], &end, 10);
  if (*argv[3] == '\0' || *end != '\0' || channel < 0 || channel >= module.numchn) {
    return no_such_channel;
  }
  return static_cast<int32_t>(channel);
}

void render(MODULE* module, int32_t solo) {
  watch.module = module;
  std::printf("channels %d\n", module->numchn);
  watch.library_player = MikMod_RegisterPlayer(player_tick);
  Player_Start(module);
  for (int32_t channel = 0; channel < module->numchn && solo != all_channels; ++channel) {
    if (channel != solo) Player_Mute(channel);
  }
  while (Player_Active() && !watch.looped && module->sngtime < longest_song_seconds * 1024) {
    MikMod_Update();
  }
  std::printf("end %.4f\n", (watch.looped ? watch.loop_time : module->sngtime) / 1024.0);
  print_samples(module);
  Player_Stop();
}

// Plays sample `number` (1-based) alone at `hz`, once, to its end.
bool render_sample(MODULE* module, int32_t number, unsigned long hz) {
  if (number < 1 || number > module->numsmp || module->samples[number - 1].length == 0) {
    std::fprintf(stderr, "render-mix: no sample %d in the module\n", number);
    return false;
  }
  SAMPLE& sample = module->samples[number - 1];
  MikMod_SetNumVoices(-1, 1);
  MikMod_EnableOutput();
  const SBYTE voice = Sample_Play(&sample, 0, SFX_CRITICAL);
  Voice_SetFrequency(voice, hz);
  Voice_SetVolume(voice, 256);
  Voice_SetPanning(voice, PAN_CENTER);
  // The mixer starts the voice at its next update, and a looped sample
  // would never stop: its first two seconds or so stand for it.
  int32_t updates = 0;
  do {
    MikMod_Update();
  } while (!Voice_Stopped(voice) && ++updates < 200);
  return true;
}

// Reads "--sample NUMBER HZ" into number and hz.
bool sample_arguments(int argc, char** argv, int32_t& number, unsigned long& hz) {
  if (argc != 6 || std::string(argv[3]) != "--sample") return false;
  char* number_end = nullptr;
  char* hz_end = nullptr;
  number = static_cast<int32_t>(std::strtol(argv[4], &number_end, 10));
  hz = std::strtoul(argv[5], &hz_end, 10);
  return *number_end == '\0' && *hz_end == '\0' && hz >= 100 && hz <= 200000;
}

}  // namespace

int main(int argc, char** argv) {
  int32_t sample_number = 0;
  unsigned long sample_hz = 0;
  const bool one_sample = argc == 6 && sample_arguments(argc, argv, sample_number, sample_hz);
  if (argc != 3 && argc != 4 && !one_sample) {
    std::fprintf(stderr,
                 "usage: render-mix MODULE WAV [CHANNEL]\n"
                 "       render-mix MODULE WAV --sample NUMBER HZ\n");
    return 2;
  }
  if (!start_library(argv[2])) return 1;
  // Loaded as intro loads it: 4 voices, the declared order list only.
  MODULE* module = Player_Load(argv[1], 4, 0);
  if (module == nullptr) {
    std::fprintf(stderr, "render-mix: %s: %s\n", argv[1], MikMod_strerror(MikMod_errno));
    MikMod_Exit();
    return 1;
  }
  if (one_sample) {
    const bool played = render_sample(module, sample_number, sample_hz);
    Player_Free(module);
    MikMod_Exit();
    return played ? 0 : 2;
  }
  const int32_t solo = solo_channel(argc, argv, *module);
  if (solo == no_such_channel) {
    std::fprintf(stderr, "render-mix: no channel \"%s\" in a module of %d channels\n", argv[3],
                 module->numchn);
  } else {
    render(module, solo);
  }
  Player_Free(module);
  MikMod_Exit();  // closes the WAV file and writes its sizes
  return solo == no_such_channel ? 2 : 0;
}
