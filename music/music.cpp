#include "music/music.h"

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "intro/settings.h"
#include "music/player_calls.h"

namespace {

void real_sleep(int32_t microseconds) {
  usleep(static_cast<useconds_t>(microseconds));
}

int64_t real_now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

uint32_t real_song_time(const MODULE* module) {
  return static_cast<uint32_t>(module->sngtime);
}

// The slice found the song ended: read the module again and start it from
// its beginning. A failed load leaves the handle null and the music off for
// the rest of the run, without a word.
void restart() {
  const uint32_t ended_at = player_calls.song_time(music_module);
  player_calls.stop();
  player_calls.free(music_module);
  music_module = player_calls.load(music_file, music_voices, music_curious);
  player_calls.start(music_module);
  // The new song follows the old one without a break in the timeline.
  if (music_timeline.started) music_timeline.origin += song_microseconds(ended_at);
}

// Brings the music up to date: updates until the song time stands the lead
// ahead of the real time since the music began.
void catch_up(int32_t slice) {
  MusicTimeline& timeline = music_timeline;
  int64_t now = player_calls.now();
  uint32_t song = player_calls.song_time(music_module);
  if (!timeline.started) {
    timeline.started = true;
    timeline.origin = now - song_microseconds(song);
    timeline.lead = music_lead(slice);
  } else {
    timeline.lead =
        std::min(timeline.lead + (now - timeline.last_service) / music_lead_growth, music_max_lead);
  }
  timeline.last_service = now;
  int64_t target = now - timeline.origin + timeline.lead;
  const int64_t limit = song_microseconds(song) + music_max_catch_up;
  if (target > limit) {
    // Too far behind: give the excess up for good.
    timeline.origin += target - limit;
    target = limit;
  }
  int32_t idle = 0;
  for (int32_t updates = 0; updates < music_max_updates && song_microseconds(song) < target;
       ++updates) {
    player_calls.update();
    const int64_t after = player_calls.now();
    const int64_t held = after - now;
    if (held > music_held_update) {
      if (!timeline.held || held > music_stall) {
        timeline.origin += held;
      } else {
        timeline.lead = std::max(timeline.lead - music_lead_step, slice + music_lead_floor);
      }
      timeline.held = true;
      return;
    }
    now = after;
    if (!player_calls.active()) return;  // the next slice restarts the song
    const uint32_t mixed = player_calls.song_time(music_module);
    if (mixed == song) {
      if (++idle == music_idle_updates) return;
    } else {
      idle = 0;
      song = mixed;
    }
  }
}

}  // namespace

const PlayerCalls real_player_calls = {
    .sleep = real_sleep,
    .now = real_now,
    .load = Player_Load,
    .start = Player_Start,
    .active = Player_Active,
    .update = MikMod_Update,
    .song_time = real_song_time,
    .stop = Player_Stop,
    .free = Player_Free,
    .exit = MikMod_Exit,
};
PlayerCalls player_calls = real_player_calls;

MODULE* music_module = nullptr;

MusicTimeline music_timeline;

void music_start() {
  MikMod_RegisterAllDrivers();
  MikMod_RegisterAllLoaders();
  md_mode |= DMODE_SOFT_MUSIC;
  if (MikMod_Init("") != 0) {
    std::fprintf(stderr, "Could not initialize sound\n");
    std::fprintf(stderr, "Reason: %s\n", MikMod_strerror(MikMod_errno));
    // A failed start leaves the software mixer unset, and loading a module
    // into it crashes. The silent driver sets the mixer up and plays into
    // nothing; should even it fail, nothing is loaded.
    md_device = static_cast<UWORD>(MikMod_DriverFromAlias("nosound"));
    if (md_device == 0 || MikMod_Init("") != 0) return;
  }
  music_module = player_calls.load(music_file, music_voices, music_curious);
  if (music_module != nullptr) {
    player_calls.start(music_module);
  } else {
    std::fprintf(stderr, "Could not load module, reason: %s\n", MikMod_strerror(MikMod_errno));
  }
}

void frame_wait() {
  const int32_t period = intro_settings.frame_period;
  const int32_t slice = period >= slice_limit ? slice_limit : period;
  for (int32_t remaining = period; remaining > 0; remaining -= slice) {
    player_calls.sleep(slice);
    if (music_module == nullptr) continue;
    if (player_calls.active()) {
      catch_up(slice);
    } else {
      restart();
    }
  }
}

void music_stop() {
  if (music_module != nullptr) {
    player_calls.stop();
    player_calls.free(music_module);
  }
  player_calls.exit();
}
