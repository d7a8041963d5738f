// The pause of `intro` and its servicing of the player, with the clock, the
// sleep and the player played by a fake.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "intro/settings.h"
#include "music/music.h"
#include "music/player_calls.h"

namespace {

// Two modules to tell apart; the fake never looks inside them.
MODULE first_module{};
MODULE second_module{};

std::string name_of(const MODULE* module) {
  if (module == nullptr) return "null";
  return module == &first_module ? "first" : "second";
}

// A player that mixes `chunk` units of 1/1024 s per update. Its song time
// moves in whole ticks of `tick` units, as libmikmod's does, and stops at
// `length`, where the song ends.
struct FakePlayer {
  std::vector<std::string> log;
  int64_t clock = 5'000'000'000;
  uint32_t mixed = 0;
  uint32_t chunk = 24;  // about 23 ms, as PulseAudio's driver mixes
  uint32_t tick = 1;
  uint32_t length = 1u << 30;
  MODULE* next_load = &second_module;
  int32_t updates = 0;
  int64_t update_time = 50;  // microseconds one update takes, mixing alone
  int32_t held_update = 0;   // the update (counted from 1) that the driver holds
  int64_t held_for = 0;      // for this long
  int64_t held_from = 0;     // every update from this one on is held
  int64_t first_wake = -1;   // the clock after the first sleep: the music begins
  // A driver that blocks like PulseAudio's: it holds at most `capacity` of
  // music not yet taken (0: no limit), and from the clock reading
  // `plays_from` on the server takes it in steps of 20 ms, one step ahead of
  // playing it. An update waits until what it mixed fits.
  int64_t capacity = 0;
  int64_t plays_from = 0;
  int64_t waited = 0;  // in all

  static constexpr int64_t step = 20000;
  int64_t played() const {
    return std::max<int64_t>(0, clock - plays_from);
  }
  int64_t taken() const {
    return clock < plays_from ? 0 : (clock - plays_from) / step * step + step;
  }
  int64_t last_wake = 0;  // the clock after the latest sleep

  uint32_t song() const {
    return mixed - mixed % tick;
  }
  int64_t song_us() const {
    return song_microseconds(song());
  }
};
FakePlayer fake;

const PlayerCalls fake_calls = {
    .sleep =
        [](int32_t microseconds) {
          fake.log.push_back("sleep " + std::to_string(microseconds));
          fake.clock += microseconds;
          if (fake.first_wake < 0) fake.first_wake = fake.clock;
          fake.last_wake = fake.clock;
        },
    .now = [] { return fake.clock; },
    .load =
        [](const CHAR* file, int voices, BOOL curious) {
          fake.log.push_back("load " + std::string(file) + " " + std::to_string(voices) + " " +
                             std::to_string(curious));
          fake.mixed = 0;
          return fake.next_load;
        },
    .start = [](MODULE* module) { fake.log.push_back("start " + name_of(module)); },
    .active = []() -> BOOL { return fake.song() < fake.length; },
    .update =
        [] {
          fake.log.push_back("update");
          ++fake.updates;
          const bool held = fake.updates == fake.held_update ||
                            (fake.held_from > 0 && fake.updates >= fake.held_from);
          fake.clock += held ? fake.held_for : fake.update_time;
          fake.mixed += fake.chunk;
          if (fake.mixed > fake.length) fake.mixed = fake.length;
          const int64_t before = fake.clock;
          while (fake.capacity > 0 && fake.song_us() - fake.taken() > fake.capacity) {
            fake.clock = fake.clock < fake.plays_from
                             ? fake.plays_from
                             : fake.plays_from + fake.taken();  // the next step
          }
          fake.waited += fake.clock - before;
        },
    .song_time = [](const MODULE*) { return fake.song(); },
    .stop = [] { fake.log.push_back("stop"); },
    .free = [](MODULE* module) { fake.log.push_back("free " + name_of(module)); },
    .exit = [] { fake.log.push_back("exit"); },
};

class FrameWait : public ::testing::Test {
 protected:
  FrameWait() {
    fake = FakePlayer{};
    player_calls = fake_calls;
    music_module = &first_module;
    music_timeline = MusicTimeline{};
  }
  ~FrameWait() override {
    player_calls = real_player_calls;
    music_module = nullptr;
    intro_settings.frame_period = 0;
  }

  static void wait(int32_t period) {
    intro_settings.frame_period = period;
    frame_wait();
  }

  // How far the song stands ahead of the real time since the music began,
  // as of the latest service's start.
  static int64_t ahead() {
    return fake.song_us() - (fake.last_wake - fake.first_wake);
  }

  // The music against a driver that blocks: at every frame rate the driver
  // never runs dry, and holds the loop at most `most_held` in the last 10 s.
  static void expect_settles(int32_t period, int64_t frame_time, int64_t most_held) {
    fake.capacity = 145000;                         // what PulseAudio holds for libmikmod's stream
    fake.plays_from = fake.clock + period + 30000;  // starts once its buffer filled
    const int64_t frames = 20'000'000 / (period + frame_time);  // 20 s
    int64_t late_wait = 0;
    for (int64_t frame = 0; frame < frames; ++frame) {
      const int64_t waited_before = fake.waited;
      wait(period);
      if (frame >= frames / 2) {
        late_wait += fake.waited - waited_before;
        // Enough in hand until the next service, and one of the server's
        // steps beyond.
        ASSERT_GE(fake.song_us() - fake.played(), period + frame_time + FakePlayer::step)
            << "frame " << frame;
      }
      fake.clock += frame_time;
    }
    EXPECT_LE(late_wait, most_held) << "held in the last 10 s";
  }

  // The log cut into slices, each a sleep and what followed it.
  static std::vector<std::vector<std::string>> slices() {
    std::vector<std::vector<std::string>> result;
    for (const std::string& entry : fake.log) {
      if (entry.starts_with("sleep")) result.emplace_back();
      EXPECT_FALSE(result.empty()) << "a player call before the first sleep: " << entry;
      if (!result.empty()) result.back().push_back(entry);
    }
    return result;
  }
};

TEST_F(FrameWait, APeriodOf100000IsOneSleepAndOneService) {
  wait(100000);
  const auto cut = slices();
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_EQ(cut[0][0], "sleep 100000");
  EXPECT_GT(cut[0].size(), 1u);  // serviced after the sleep
}

TEST_F(FrameWait, APeriodOf150000IsTwoWholeSlices) {
  wait(150000);
  const auto cut = slices();
  ASSERT_EQ(cut.size(), 2u);  // 200000 microseconds of sleep, not 150000
  for (const auto& slice : cut) {
    EXPECT_EQ(slice[0], "sleep 100000");
    EXPECT_GT(slice.size(), 1u);
  }
}

TEST_F(FrameWait, APeriodOf1000000IsTenSlices) {
  wait(1000000);
  const auto cut = slices();
  ASSERT_EQ(cut.size(), 10u);
  for (const auto& slice : cut) {
    EXPECT_EQ(slice[0], "sleep 100000");
    EXPECT_GT(slice.size(), 1u);
  }
}

TEST_F(FrameWait, AShortPeriodIsOneSleepOfThePeriod) {
  wait(40000);
  const auto cut = slices();
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_EQ(cut[0][0], "sleep 40000");
}

TEST_F(FrameWait, APeriodOfZeroOrLessNeitherSleepsNorServices) {
  wait(0);
  wait(-20000);
  EXPECT_TRUE(fake.log.empty());
}

TEST_F(FrameWait, WithoutAModuleItOnlySleeps) {
  music_module = nullptr;
  wait(250000);
  EXPECT_EQ(fake.log, (std::vector<std::string>{"sleep 100000", "sleep 100000", "sleep 100000"}));
}

TEST_F(FrameWait, TheFirstServiceMixesTheSliceAndAMarginAhead) {
  wait(100000);
  EXPECT_GE(ahead(), music_lead(100000));
  EXPECT_LT(ahead(), music_lead(100000) + song_microseconds(fake.chunk));
  EXPECT_GE(music_lead(20000), 20000 + 40000);
}

TEST_F(FrameWait, TheMusicBeginsWithTheFirstService) {
  // The dialogue took half a minute; none of it is made up.
  fake.clock += 30'000'000;
  wait(100000);
  EXPECT_GE(fake.song_us(), music_lead(100000));
  EXPECT_LT(fake.song_us(), music_lead(100000) + song_microseconds(fake.chunk));
}

TEST_F(FrameWait, EveryServiceKeepsTheSongTheLeadAheadAndTheLeadGrowsSlowly) {
  // 25 frames a second, each frame taking 7 ms to draw and print, 10 s long.
  wait(40000);
  for (int frame = 0; frame < 212; ++frame) {
    fake.clock += 7000;
    wait(40000);
    const int64_t passed = fake.last_wake - fake.first_wake;
    const int64_t lead = music_lead(40000) + passed / music_lead_growth;
    ASSERT_GE(ahead(), lead - 1000) << "frame " << frame;
    ASSERT_LT(ahead(), lead + song_microseconds(fake.chunk)) << "frame " << frame;
  }
}

TEST_F(FrameWait, TheLeadGrowsNoFurtherThanItsMost) {
  for (int frame = 0; frame < 700; ++frame) wait(100000);  // 70 s
  EXPECT_GE(ahead(), music_max_lead);
  EXPECT_LT(ahead(), music_max_lead + song_microseconds(fake.chunk));
}

TEST_F(FrameWait, TheFirstHoldIsAServerStartingLateAndComesOffTheTimeline) {
  wait(40000);
  const int32_t before = fake.updates;
  fake.held_update = before + 2;
  fake.held_for = 120000;  // the server waited for its buffer to fill
  wait(40000);
  EXPECT_EQ(fake.updates, before + 2);  // the hold ended the service
  wait(40000);
  const int64_t passed = fake.last_wake - fake.first_wake;
  const int64_t lead = music_lead(40000) + passed / music_lead_growth;
  EXPECT_GE(ahead() + 120000, lead - 1000);
  EXPECT_LT(ahead() + 120000, lead + song_microseconds(fake.chunk));
}

TEST_F(FrameWait, LaterHoldsShortenTheLead) {
  wait(40000);
  fake.held_update = fake.updates + 1;
  fake.held_for = 20000;
  wait(40000);  // the server starts
  const int64_t started = 20000;
  fake.held_update = fake.updates + 2;
  wait(40000);  // a full buffer
  wait(40000);
  const int64_t passed = fake.last_wake - fake.first_wake;
  const int64_t lead = music_lead(40000) - music_lead_step + passed / music_lead_growth;
  EXPECT_GE(ahead() + started, lead - 1000);
  EXPECT_LT(ahead() + started, lead + song_microseconds(fake.chunk));
}

TEST_F(FrameWait, AnUpdateShorterThanAHoldIsNone) {
  wait(40000);
  const int32_t before = fake.updates;
  fake.held_update = before + 1;
  fake.held_for = music_held_update;
  wait(40000);
  EXPECT_GT(fake.updates, before + 1);  // the service went on after it
}

// 145 ms do not bridge a slice of 100 ms safely: filled to the brim, the
// driver holds each frame until the server takes its next step or two (an
// update mixes a little more than one step).
TEST_F(FrameWait, AgainstABlockingDriverAt10FramesASecond) {
  expect_settles(100000, 3000, 97 * 2 * FakePlayer::step);
}
// Here the lead settles below what the driver holds: it rarely holds.
TEST_F(FrameWait, AgainstABlockingDriverAt25FramesASecond) {
  expect_settles(40000, 3000, 300000);
}
TEST_F(FrameWait, AgainstABlockingDriverAt50FramesASecond) {
  expect_settles(20000, 3000, 300000);
}

TEST_F(FrameWait, ADriverThatAlwaysHoldsHoldsTheLoopOnceAService) {
  // Every update waits 15 ms for room in the driver's buffer.
  fake.held_from = 1;
  fake.held_for = 15000;
  for (int frame = 0; frame < 50; ++frame) wait(20000);
  EXPECT_EQ(fake.updates, 50);
  EXPECT_EQ(music_timeline.lead, 20000 + music_lead_floor);  // shrunk, and no further
}

TEST_F(FrameWait, AServerThatStoodStillIsNotCaughtUpAfter) {
  wait(40000);
  fake.held_update = fake.updates + 2;
  fake.held_for = 1'100'000;  // an idle sink that takes a second to wake
  wait(40000);
  const int64_t song_before = fake.song_us();
  wait(40000);
  // One frame's worth more, not the second the server stood still.
  EXPECT_LE(fake.song_us() - song_before, 40000 + 1100 + song_microseconds(fake.chunk));
}

TEST_F(FrameWait, UpdatesThatEndInsideATickDoNotEndTheService) {
  // Ticks of 60 ms, updates of 16 ms: three updates in four leave the song
  // time where it was, as at the slowest tempo with PulseAudio's driver.
  fake.chunk = 16;
  fake.tick = 61;
  for (int frame = 0; frame < 20; ++frame) {
    wait(100000);
    ASSERT_GE(ahead(), music_lead(100000)) << "frame " << frame;
  }
}

TEST_F(FrameWait, AServiceEndsWhenUpdatesAddNothing) {
  // A driver that mixes in a thread of its own: its updates mix nothing.
  fake.chunk = 0;
  wait(100000);
  EXPECT_EQ(fake.updates, music_idle_updates);
  wait(100000);
  EXPECT_EQ(fake.updates, 2 * music_idle_updates);
}

TEST_F(FrameWait, OneServiceMakesABoundedNumberOfUpdates) {
  fake.chunk = 1;  // about 1 ms per update
  wait(100000);
  EXPECT_EQ(fake.updates, music_max_updates);
}

TEST_F(FrameWait, AStallIsCaughtUpOnlyInPart) {
  for (int frame = 0; frame < 10; ++frame) wait(50000);
  fake.clock += 10'000'000;  // the process stood still for 10 s
  const int64_t before_stall_service = fake.song_us();
  wait(50000);
  const int64_t caught_up = fake.song_us() - before_stall_service;
  EXPECT_LE(caught_up, music_max_catch_up + song_microseconds(fake.chunk));
  EXPECT_GE(caught_up, music_max_catch_up);
  // The rest of the stall is given up: the next frame mixes one frame's worth.
  const int64_t before = fake.song_us();
  wait(50000);
  EXPECT_LE(fake.song_us() - before, 50000 + 1000 + song_microseconds(fake.chunk));
}

TEST_F(FrameWait, AServiceStopsAtTheSongsEnd) {
  fake.length = 60;  // ends within the first service's lead
  wait(40000);
  EXPECT_EQ(fake.song(), 60u);
  EXPECT_EQ(fake.updates, 3);  // 24, 48, 60
}

TEST_F(FrameWait, TheSliceAfterTheEndRestartsTheSongWithoutAnUpdate) {
  fake.length = 60;
  wait(40000);
  fake.log.clear();
  wait(40000);
  EXPECT_EQ(fake.log, (std::vector<std::string>{"sleep 40000", "stop", "free first",
                                                "load blumot.mod 4 0", "start second"}));
  EXPECT_EQ(music_module, &second_module);
  fake.length = 1u << 30;
  fake.log.clear();
  wait(40000);
  ASSERT_GT(fake.log.size(), 1u);
  EXPECT_EQ(fake.log[1], "update");
}

TEST_F(FrameWait, TheRestartedSongFollowsOnInTheTimeline) {
  fake.length = 60;
  wait(40000);
  wait(40000);  // restart
  fake.length = 1u << 30;
  wait(40000);
  // The new song is due where the old one (60 units) ended.
  const int64_t lead = music_lead(40000);
  EXPECT_GE(ahead() + song_microseconds(60), lead);
  EXPECT_LT(ahead() + song_microseconds(60), lead + 1000 + song_microseconds(fake.chunk));
}

TEST_F(FrameWait, AFailedReloadLeavesTheMusicSilent) {
  fake.length = 60;
  fake.next_load = nullptr;
  wait(40000);
  fake.log.clear();
  testing::internal::CaptureStderr();
  wait(150000);
  const std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_EQ(fake.log,
            (std::vector<std::string>{"sleep 100000", "stop", "free first", "load blumot.mod 4 0",
                                      "start null", "sleep 100000"}));
  EXPECT_EQ(music_module, nullptr);
  EXPECT_EQ(printed, "");
  fake.log.clear();
  wait(1000000);
  EXPECT_EQ(fake.log.size(), 10u);  // sleeps alone
}

TEST_F(FrameWait, StoppingFreesTheModuleAndShutsTheLibraryDown) {
  music_stop();
  EXPECT_EQ(fake.log, (std::vector<std::string>{"stop", "free first", "exit"}));
  EXPECT_EQ(music_module, &first_module);  // the handle keeps its value
}

TEST_F(FrameWait, StoppingWithoutAModuleOnlyShutsTheLibraryDown) {
  music_module = nullptr;
  music_stop();
  EXPECT_EQ(fake.log, (std::vector<std::string>{"exit"}));
}

}  // namespace
