#include "tools/modcompose/tests/mikmod_render.h"

#include <mikmod.h>

#include <cstring>
#include <stdexcept>

#include "music/mixer.h"
#include "tools/modcompose/tests/temp_dir.h"

namespace {

void register_once() {
  static const bool registered = [] {
    MikMod_RegisterAllDrivers();
    MikMod_RegisterAllLoaders();
    return true;
  }();
  (void)registered;
}

// The intro's mixer, except that the output goes to the WAV writer instead
// of a sound device.
void start_library(const std::filesystem::path& wav_file) {
  register_once();
  mixer_settings_apply();
  md_device = static_cast<UWORD>(MikMod_DriverFromAlias("wav"));
  if (md_device == 0) throw std::runtime_error("libmikmod has no WAV writer");
  const std::string options = "file=" + wav_file.string();
  if (MikMod_Init(options.c_str()) != 0) {
    throw std::runtime_error(std::string("MikMod_Init: ") + MikMod_strerror(MikMod_errno));
  }
}

MODULE* load(const std::filesystem::path& module_file) {
  MODULE* module = Player_Load(module_file.c_str(), 4, 0);
  if (module == nullptr) {
    MikMod_Exit();
    throw std::runtime_error(std::string("Player_Load: ") + MikMod_strerror(MikMod_errno));
  }
  return module;
}

uint32_t little_endian(const std::vector<uint8_t>& bytes, std::size_t offset, int32_t size) {
  uint32_t value = 0;
  for (int32_t i = size - 1; i >= 0; --i)
    value = (value << 8) | bytes[offset + static_cast<std::size_t>(i)];
  return value;
}

// Reads the 16-bit PCM of a RIFF WAVE file chunk by chunk.
void read_wav(const std::filesystem::path& wav_file, Rendering& rendering) {
  const std::vector<uint8_t> bytes = read_file(wav_file);
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
      std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
    throw std::runtime_error("not a WAV file: " + wav_file.string());
  }
  std::size_t offset = 12;
  while (offset + 8 <= bytes.size()) {
    const std::string id(bytes.begin() + static_cast<long>(offset),
                         bytes.begin() + static_cast<long>(offset) + 4);
    const std::size_t size =
        std::min<std::size_t>(little_endian(bytes, offset + 4, 4), bytes.size() - offset - 8);
    const std::size_t body = offset + 8;
    if (id == "fmt ") {
      if (little_endian(bytes, body, 2) != 1 || little_endian(bytes, body + 14, 2) != 16) {
        throw std::runtime_error("the WAV writer did not write 16-bit PCM");
      }
      rendering.channels = static_cast<int32_t>(little_endian(bytes, body + 2, 2));
      rendering.frames_per_second = static_cast<int32_t>(little_endian(bytes, body + 4, 4));
    } else if (id == "data") {
      rendering.samples.resize(size / 2);
      std::memcpy(rendering.samples.data(), bytes.data() + body, rendering.samples.size() * 2);
    }
    offset = body + size + (size % 2);
  }
}

}  // namespace

double Rendering::seconds_per_update() const {
  if (updates == 0 || channels == 0) return 0.0;
  return static_cast<double>(samples.size()) / channels / frames_per_second / updates;
}

ModuleInfo load_module(const std::filesystem::path& module_file,
                       const std::filesystem::path& wav_file) {
  start_library(wav_file);
  MODULE* module = load(module_file);
  ModuleInfo info{module->numchn, module->numpos, module->songname ? module->songname : ""};
  Player_Free(module);
  MikMod_Exit();
  return info;
}

Rendering render_module(const std::filesystem::path& module_file,
                        const std::filesystem::path& wav_file, int32_t max_updates,
                        int32_t solo_channel) {
  start_library(wav_file);
  MODULE* module = load(module_file);
  Rendering rendering;
  Player_Start(module);
  // One channel at a time: the library's exclusive mute does not take
  // every range.
  for (int32_t channel = 0; channel < module->numchn && solo_channel != all_channels; ++channel) {
    if (channel != solo_channel) Player_Mute(channel);
  }
  while (Player_Active() && rendering.updates < max_updates) {
    MikMod_Update();
    ++rendering.updates;
  }
  rendering.ended = !Player_Active();
  rendering.song_seconds = module->sngtime / 1024.0;
  Player_Stop();
  Player_Free(module);
  MikMod_Exit();  // closes the WAV file and writes its sizes
  read_wav(wav_file, rendering);
  return rendering;
}
