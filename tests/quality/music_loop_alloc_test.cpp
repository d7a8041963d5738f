// The frame loop of intro, music included, makes no heap allocation while
// the song plays on: a thousand passes at each size after the first, with
// the music thread mixing all the while. Runs in a folder of its own with a
// copy of the module, where the output driver may leave its files.
//
// The output is intro's own, as in intro (a sound server, ALSA's default
// device, or none), unless the environment names one of libmikmod's in
// INTRO_TEST_DRIVER: "raw", the disk writer, mixes the music on every
// machine. Where the music is heard, the count covers every thread; while
// no output answers, the music thread looks for one every second, which
// allocates, and only the main thread is counted.
#include <gtest/gtest.h>
#include <mikmod.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "intro/variant.h"
#include "music/music.h"
#include "music/output.h"
#include "tests/quality/alloc_count.h"
#include "tests/support/loop_stage.h"

namespace {

class MusicLoop : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    namespace fs = std::filesystem;
    char folder[] = "/tmp/intro-alloc-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    folder_ = folder;
    fs::copy_file(INTRO_MUSIC_MODULE, folder_ / music_file);
    ASSERT_EQ(chdir(folder), 0);
    if (const char* driver = std::getenv("INTRO_TEST_DRIVER")) {
      // Registering twice leaves the library's list as it was.
      MikMod_RegisterAllDrivers();
      md_device = static_cast<UWORD>(MikMod_DriverFromAlias(driver));
      ASSERT_NE(md_device, 0) << "no driver " << driver;
    }
    music_start();
    std::printf("output driver: %s\n", md_driver != nullptr ? md_driver->Name : "none");
  }

  static void TearDownTestSuite() {
    music_stop();
    std::filesystem::remove_all(folder_);
  }

  static inline std::filesystem::path folder_;
};

TEST_F(MusicLoop, AThousandPassesAtEachSizeAllocateNothing) {
  music_variant.frames_begin();
  const bool heard = md_driver != &music_output || output_connected();
  std::printf("counted: %s\n", heard ? "every thread" : "the main thread");
  // 500 frames per second.
  for (const auto& [width, height] : {std::pair{80, 25}, std::pair{320, 100}}) {
    LoopStage stage(width, height, music_variant.logo);
    // One pass first: the disk writers give their output file its stdio
    // buffer at their first write, once for the whole run.
    int64_t first_pass = 0;
    {
      AllocationScope scope(heard);
      frame_pass(stage.canvas.get(), stage.scene, stage.out.file, music_variant, 2000);
      // The thread's first stretch, which may come a little after the first
      // pause, belongs to the first pass too.
      usleep(300000);
      first_pass = scope.count();
    }
    AllocationScope scope(heard);
    for (int pass = 0; pass < 1000; ++pass) {
      frame_pass(stage.canvas.get(), stage.scene, stage.out.file, music_variant, 2000);
    }
    const int64_t count = scope.count();
    std::printf("%dx%d: %lld allocations in the first pass\n", width, height,
                static_cast<long long>(first_pass));
    // The count holds for a song that plays on; a restart reads the module
    // again, which allocates by design.
    ASSERT_EQ(music_restarts(), 0) << "the song ended and restarted during the count";
    EXPECT_EQ(count, 0) << width << "x" << height;
  }
}

}  // namespace
