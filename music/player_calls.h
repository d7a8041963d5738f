// What the music asks of the system and of libmikmod while the intro runs,
// gathered in one table so that tests can stand in for the clock, the sleep
// and the player. The table starts out pointing at the real calls.
#pragma once

#include <mikmod.h>

#include <cstdint>

struct PlayerCalls {
  void (*sleep)(int32_t microseconds);  // usleep; its result is ignored
  int64_t (*now)();                     // monotonic clock, in microseconds
  MODULE* (*load)(const CHAR* file, int max_voices, BOOL curious);  // Player_Load
  void (*start)(MODULE* module);                                    // Player_Start; ignores null
  BOOL (*active)();                                                 // Player_Active
  void (*update)();                             // MikMod_Update: mix the next stretch
  uint32_t (*song_time)(const MODULE* module);  // song played into the mixer, 1/1024 s
  void (*stop)();                               // Player_Stop
  void (*free)(MODULE* module);                 // Player_Free
  void (*exit)();                               // MikMod_Exit
};

extern const PlayerCalls real_player_calls;
extern PlayerCalls player_calls;

// The module being played; null before the start and once a load failed.
extern MODULE* music_module;

inline constexpr const char* music_file = "blumot.mod";
inline constexpr int music_voices = 4;
inline constexpr BOOL music_curious = 0;

// The longest single sleep of frame_wait.
inline constexpr int32_t slice_limit = 100000;

// How the player is serviced after a slice. Drivers mix a fixed stretch per
// MikMod_Update (23 ms for PulseAudio, 50 ms for ALSA, 186 ms for the disk
// writers), so one update per slice starves a real-time sound server. Each
// service therefore updates until the song time stands a lead ahead of the
// real time since the music began.
//
// How much lead a sound server needs, and how much it takes before its
// writes block, depends on the server: PulseAudio holds about 145 ms for
// libmikmod's stream and plays it in steps of 20 to 105 ms. So the lead
// adapts. It starts at the slice, the longest wait until the next service,
// plus music_lead_margin for the drawing of a frame, the song time's steps of
// one tick (20 ms at the usual tempo) and the server's steps. It grows by one
// part in music_lead_growth of the time passing, up to music_max_lead.
//
// An update that takes longer than music_held_update was held by the driver
// until the server took more: the service ends there. Before the server has
// first taken the music, and whenever a hold lasts longer than music_stall,
// the server stood still, and the time held is taken off the timeline whole.
// Otherwise the buffer was full, and the lead shrinks by music_lead_step, but
// never below the slice plus music_lead_floor. So the lead settles just below
// what the server holds, where the music has the most in hand and the driver
// holds the frame loop about once a second, for one of its steps. Where the
// server holds too little to bridge a slice safely (PulseAudio at 10 frames a
// second), the music is filled to the brim at every service instead, and the
// driver holds each frame for up to one of its steps.
inline constexpr int64_t music_lead_margin = 100000;
constexpr int64_t music_lead(int32_t slice) {
  return slice + music_lead_margin;
}
inline constexpr int64_t music_lead_floor = 60000;
inline constexpr int64_t music_lead_growth = 100;
inline constexpr int64_t music_max_lead = 300000;
inline constexpr int64_t music_held_update = 5000;
inline constexpr int64_t music_lead_step = 10000;
inline constexpr int64_t music_stall = 200000;
// After a stall (a slow terminal, a stopped process) one service mixes at
// most this much song time; what lies further behind is given up.
inline constexpr int64_t music_max_catch_up = 400000;
// Safety bounds of one service: the number of updates, and the number of
// updates in a row that may leave the song time where it was (an update can
// end inside a tick, where the song time does not move; with no mixing at
// all, as with drivers that mix in a thread of their own, none ever does).
inline constexpr int32_t music_max_updates = 64;
inline constexpr int32_t music_idle_updates = 4;

// Microseconds of song time, from the library's 1/1024 s.
constexpr int64_t song_microseconds(uint32_t song_time) {
  return static_cast<int64_t>(song_time) * 15625 / 16;
}

// Where the music stands in real time.
struct MusicTimeline {
  bool started = false;  // set by the first service
  int64_t origin = 0;    // clock reading at which song time 0 is due
  int64_t lead = 0;      // how far ahead of the clock the song is kept
  bool held = false;     // the driver has held an update: the server plays
  int64_t last_service = 0;
};
extern MusicTimeline music_timeline;
