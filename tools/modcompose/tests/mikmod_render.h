// Plays a module file through libmikmod's WAV disk writer, the way the
// intro plays it (interpolating, high-quality software mixing, library
// defaults), and reads the mixed sound back.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct ModuleInfo {
  int32_t channels = 0;
  int32_t positions = 0;
  std::string title;
};

struct Rendering {
  std::vector<int16_t> samples;  // interleaved, `channels` per frame
  int32_t channels = 0;
  int32_t frames_per_second = 0;
  int32_t updates = 0;        // MikMod_Update calls until the song ended
  bool ended = false;         // Player_Active turned 0 within the limit
  double song_seconds = 0.0;  // the player's own song time at the end

  double seconds_per_update() const;
};

// Loads the module as the intro does (4 channels, not curious). Throws
// std::runtime_error with the library's message when libmikmod refuses.
ModuleInfo load_module(const std::filesystem::path& module_file,
                       const std::filesystem::path& wav_file);

// Plays the module until Player_Active turns 0, or max_updates at most,
// writing the mix into wav_file. With a solo channel, only that channel
// is heard.
inline constexpr int32_t all_channels = -1;
Rendering render_module(const std::filesystem::path& module_file,
                        const std::filesystem::path& wav_file, int32_t max_updates,
                        int32_t solo_channel = all_channels);
