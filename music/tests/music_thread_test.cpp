// The music thread against the real library, on the disk writer, whose
// file shows what was mixed and when. A short module of our own ends and
// restarts several times within a few seconds. Each test runs in a folder
// of its own.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "music/mixer.h"
#include "music/music.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A four-channel module of one position: a note on the first row, speed 3,
// and a break on the eighth row, so the song lasts 24 ticks, about 0.48 s.
std::vector<char> short_module() {
  std::vector<char> module(20 + 31 * 30 + 2 + 128 + 4 + 1024 + 2000, 0);
  char* sample = &module[20];
  sample[22] = static_cast<char>(1000 >> 8);  // length in words: 2000 bytes
  sample[23] = static_cast<char>(1000 & 0xff);
  sample[25] = 64;  // volume
  sample[29] = 1;   // no loop
  module[950] = 1;  // song length: one position
  module[951] = 127;
  std::memcpy(&module[1080], "M.K.", 4);
  char* row0 = &module[1084];
  row0[0] = 428 >> 8;  // period 428 (C-2)
  row0[1] = static_cast<char>(428 & 0xff);
  row0[2] = 0x1f;  // sample 1 (the high nibble), speed 3
  row0[3] = 3;
  char* row7 = &module[1084 + 7 * 16];
  row7[2] = 0x0d;  // pattern break
  for (int i = 0; i < 2000; ++i)
    module[1084 + 1024 + i] = static_cast<char>(i % 40 < 20 ? 60 : -60);
  return module;
}

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

class MusicThread : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[] = "/tmp/intro-music-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    folder_ = folder;
    ASSERT_EQ(chdir(folder), 0);
    write_module(short_module());
  }
  void TearDown() override {
    fs::remove_all(folder_);
  }
  static void write_module(const std::vector<char>& bytes) {
    std::ofstream(music_file, std::ios::binary).write(bytes.data(), bytes.size());
  }
  static void use_driver(const char* alias) {
    MikMod_RegisterAllDrivers();  // registering again leaves the list as it was
    md_device = static_cast<UWORD>(MikMod_DriverFromAlias(alias));
    ASSERT_NE(md_device, 0) << "no driver " << alias;
  }
  fs::path folder_;
};

// The disk writer mixes the music's sample frames into music.raw.
double raw_seconds() {
  std::error_code error;
  const auto size = fs::file_size("music.raw", error);
  return error ? 0.0 : static_cast<double>(size) / (mixer_rate * mixer_frame_bytes);
}

TEST_F(MusicThread, DiskWriterKeepsPaceRestartsAndWaitsForAModuleThatLoads) {
  use_driver("raw");
  music_start();
  const auto play = Clock::now();
  music_play();
  double most_ahead = -1e9;
  while (seconds_since(play) < 3.0) {
    most_ahead = std::max(most_ahead, raw_seconds() - seconds_since(play));
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  const double behind = seconds_since(play) - raw_seconds();
  const int32_t restarts = music_restarts();
  std::printf("most ahead %.3f s, behind at the end %.3f s, %d restarts\n", most_ahead, behind,
              restarts);
  // The file's stdio buffer holds up to 4 KiB (23 ms) back.
  EXPECT_LE(most_ahead, music_max_ahead / 1e6 + 0.03);
  EXPECT_LE(behind, 0.5) << "the music fell behind real time";
  EXPECT_GE(restarts, 4);

  // A module that does not load is read again, without counting, until
  // one does: then the song starts again.
  write_module(std::vector<char>(2000, 'x'));
  std::this_thread::sleep_for(std::chrono::milliseconds(800));
  const int32_t ended_at = music_restarts();
  const double mixed = raw_seconds();
  std::this_thread::sleep_for(std::chrono::milliseconds(1200));
  EXPECT_EQ(music_restarts(), ended_at) << "a load that failed counted as a restart";
  EXPECT_EQ(raw_seconds(), mixed);
  write_module(short_module());
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_GT(music_restarts(), ended_at) << "the module that loads again was not played";
  music_stop();
}

TEST_F(MusicThread, AModuleThatIsNotARegularFileIsRefusedWithoutBlocking) {
  fs::remove(music_file);
  ASSERT_EQ(mkfifo(music_file, 0600), 0);
  use_driver("nosound");
  EXPECT_EQ(music_load(music_file), nullptr);
  EXPECT_EQ(MikMod_errno, MMERR_OPENING_FILE);
}

}  // namespace
