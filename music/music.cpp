#include "music/music.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

#include "music/mixer.h"
#include "music/output.h"

namespace {

using Clock = std::chrono::steady_clock;
using Microseconds = std::chrono::microseconds;

// Where the run stands for the music's messages: in the dialogue the music
// may write one, `speaking` while it does, and from the frames on never.
enum class Stage { dialogue, speaking, frames };

// What the two threads share. Only the music thread calls the library, its
// outputs and write(2) on standard error, and the main thread never waits
// for any of them. The two meet in atomics (`stage`, `restarts`) and in
// `state`, a mutex held only to change or wait for the flags beside it,
// never across a call of the library, an output or a write.
struct Music {
  std::mutex state;
  std::condition_variable changed;
  bool started = false;  // the library is up, the first look and load done
  bool stopping = false;
  std::atomic<Stage> stage = Stage::dialogue;
  std::atomic<int32_t> restarts = 0;

  // The music thread's own.
  MODULE* module = nullptr;  // null while none has loaded
  bool played = false;       // a song has started since music_start
  // Where the music's own messages reach standard error, as the program
  // found it.
  int errors = -1;

  // The main thread's own.
  bool thread_made = false;
  pthread_t thread{};
};

// Never destroyed: a program that ends in its dialogue must not wait for a
// thread held by a sound server that does not answer.
Music& music = *new Music;

void state_set(bool& flag) {
  std::lock_guard hold(music.state);
  flag = true;
  music.changed.notify_all();
}

// Writes `what` and `reason` on a line of standard error, in one write,
// unless the frames have begun. The write never waits: when standard error
// has no room now (a pipe that nobody reads), the line is lost, so that
// music_play, which lets a line being written finish, is never held by it.
// A pipe that poll finds room in takes a line this short (under PIPE_BUF)
// whole.
void music_report(const char* what, const char* reason) {
  char line[512];
  const int length = std::snprintf(line, sizeof line, "%s%s\n", what, reason);
  Stage expected = Stage::dialogue;
  if (length <= 0 || !music.stage.compare_exchange_strong(expected, Stage::speaking)) return;
  pollfd room = {.fd = music.errors, .events = POLLOUT, .revents = 0};
  if (poll(&room, 1, 0) == 1 && (room.revents & POLLOUT) != 0) {
    [[maybe_unused]] const ssize_t written =
        write(music.errors, line, std::min<size_t>(length, sizeof line - 1));
  }
  music.stage = Stage::dialogue;
}

// The PulseAudio client library writes to standard error by itself (a
// client configuration that does not parse, a runtime folder of another
// user) and cannot be told not to. So the music thread takes a table of
// descriptors of its own, and there the standard descriptors lead to
// /dev/null: nothing of the library's reaches the screen, while the main
// thread's frames and messages go where they always went. Returns a
// descriptor on the program's standard error for the music's own messages.
int library_output_quiet() {
  const bool own_table = unshare(CLONE_FILES) == 0;
  const int errors = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  if (own_table) {
    const int nothing = open("/dev/null", O_RDWR | O_CLOEXEC);
    for (int fd = STDIN_FILENO; nothing >= 0 && fd <= STDERR_FILENO; ++fd) dup2(nothing, fd);
    if (nothing >= 0) close(nothing);
  }
  return errors;
}

// Opening never blocks: a FIFO or a device is refused after the open.
int module_open(const char* path) {
  return open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

// Loads the module from an open file that it closes, if it is a regular
// file: the file checked is the one the library reads.
MODULE* module_read(int fd) {
  struct stat status {};
  FILE* file = nullptr;
  if (fd >= 0 && fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) file = fdopen(fd, "rb");
  if (file == nullptr) {
    if (fd >= 0) close(fd);
    MikMod_errno = MMERR_OPENING_FILE;
    return nullptr;
  }
  MODULE* module = Player_LoadFP(file, music_voices, music_plays_hidden_positions);
  std::fclose(file);
  return module;
}

// The module from the current directory; only when there is none there,
// the one installed with the program.
MODULE* module_find() {
  int fd = module_open(music_file);
  if (fd < 0 && errno == ENOENT) fd = module_open(MUSIC_DATA_DIR "/blumot.mod");
  return module_read(fd);
}

int64_t song_microseconds(const MODULE* module) {
  return static_cast<int64_t>(module->sngtime) * 15625 / 16;  // from 1/1024 s
}

// The music's one driver, which finds its outputs itself. Registered once:
// the library keeps its lists for the process, and a second registration
// of the loaders links their list into a loop that the next load never
// leaves.
void library_register() {
  [[maybe_unused]] static const bool registered =
      (MikMod_RegisterDriver(&music_output), MikMod_RegisterAllLoaders(), true);
}

// Starts the library, which looks for an output at once, so that a machine
// without one is told before the dialogue; the music goes on looking. False
// if the library cannot start at all.
bool library_start() {
  library_register();
  mixer_settings_apply();
  const char* const failed = "Could not initialize sound\nReason: ";
  if (MikMod_Init("") != 0) {
    music_report(failed, MikMod_strerror(MikMod_errno));
    return false;
  }
  if (md_driver == &music_output && !output_connected()) {
    music_report(failed, MikMod_strerror(MMERR_DETECTING_DEVICE));
  }
  return true;
}

void song_free() {
  if (music.module == nullptr) return;
  Player_Stop();
  Player_Free(music.module);
  music.module = nullptr;
}

// Starts the loaded song from its beginning.
void song_start() {
  Player_Start(music.module);
  if (music.played) ++music.restarts;
  music.played = true;
}

// Sleeps up to `time`; music_stop cuts it short. False once stopping.
bool music_sleep(Microseconds time) {
  std::unique_lock hold(music.state);
  if (time.count() == 0) return !music.stopping;
  return !music.changed.wait_for(hold, time, [] { return music.stopping; });
}

// How far the music has gone: the song time mixed since it began.
struct MusicPace {
  Clock::time_point origin;  // when song time 0 was due
  int64_t song = 0;
  int64_t longest_stretch = 0;  // the most one update has mixed
  int64_t idle = 0;             // the last wait after an update that mixed nothing
};

// How far ahead of real time the driver in use may take the music; 0 while
// it has no output.
int64_t pace_ahead_most() {
  return md_driver == &music_output ? output_ahead_most() : music_max_ahead;
}

// Mixes the next stretch of music and returns the time to sleep before the
// next. An output that takes only what it has room for paces the thread;
// for one that takes everything the clock does: the song is never more
// than the output keeps in front of the real time since the music began.
// Time lost to a stall, or while nothing answered, is let go: the music
// does not race to make it up, and so never mixes more at once than the
// output keeps.
Microseconds music_mix(MusicPace& pace) {
  const int64_t start = song_microseconds(music.module);
  MikMod_Update();
  int64_t stretch = song_microseconds(music.module) - start;
  // The song ended inside the stretch, which the mixer filled all the same.
  if (!Player_Active()) stretch = std::max(stretch, pace.longest_stretch);
  pace.longest_stretch = std::max(stretch, pace.longest_stretch);
  pace.song += stretch;
  const auto now = Clock::now();
  int64_t ahead = pace.song - std::chrono::duration_cast<Microseconds>(now - pace.origin).count();
  if (ahead < 0) {
    pace.origin = now - Microseconds(pace.song);
    ahead = 0;
  }
  const int64_t most = pace_ahead_most();
  // No output answers: nothing is mixed until the next look for one.
  if (most == 0) return Microseconds(output_retry_time);
  if (stretch == 0) {
    pace.idle = pace.idle == 0 ? music_idle : std::min(2 * pace.idle, music_idle_longest);
    return Microseconds(pace.idle);
  }
  pace.idle = 0;
  return Microseconds(std::max<int64_t>(0, ahead - (most - pace.longest_stretch)));
}

// The next step of the music and the time to sleep after it: a stretch
// mixed, or a song that has ended (or never loaded) read again from the
// file. A module that does not load is read again every
// music_reload_time, without a word, until it does.
Microseconds music_step(MusicPace& pace) {
  if (music.module != nullptr && Player_Active()) return music_mix(pace);
  song_free();
  music.module = module_find();
  if (music.module == nullptr) return Microseconds(music_reload_time);
  song_start();
  // A song that has ended before it began is read at most every music_idle.
  return Microseconds(Player_Active() ? 0 : music_idle);
}

// Plays from the first frame until music_stop.
void music_play_on() {
  {
    std::unique_lock hold(music.state);
    music.changed.wait(hold, [] { return music.stopping || music.stage == Stage::frames; });
  }
  if (music.module != nullptr) song_start();
  MusicPace pace{.origin = Clock::now()};
  Microseconds pause(0);
  while (music_sleep(pause)) pause = music_step(pace);
  song_free();
  MikMod_Exit();
}

void* music_run(void*) {
  // A write to an output whose reader has gone (a FIFO behind an ALSA file
  // device) fails with EPIPE rather than ending the program.
  sigset_t pipe_signal;
  sigemptyset(&pipe_signal);
  sigaddset(&pipe_signal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe_signal, nullptr);
  music.errors = library_output_quiet();
  const bool started = library_start();
  if (started) {
    music.module = module_find();
    if (music.module == nullptr) {
      music_report("Could not load module, reason: ", MikMod_strerror(MikMod_errno));
    }
  }
  state_set(music.started);
  if (started) music_play_on();
  close(music.errors);
  return nullptr;
}

// Address space the sound libraries may take as they start. A PulseAudio
// connection maps four pools of 64 MiB (its own, the server's, and one each
// way for the stream's messages), and the client fails badly when they do
// not fit: it ends the process (SIGQUIT) on a failed allocation, and ALSA's
// route to the same server waits for ever for a thread it could not make.
// So under a limit (ulimit -v) the music starts only with the pools and
// 16 MiB more to spare.
constexpr size_t library_memory_spare = (size_t{4} * 64 + 16) << 20;

// Whether `size` bytes of address space are free: reserved, not used.
bool address_space_free(size_t size) {
  void* reserved =
      mmap(nullptr, size, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (reserved == MAP_FAILED) return false;
  munmap(reserved, size);
  return true;
}

// The music thread, on a stack of music_stack_size; an error number when it
// cannot be made (a limit of threads or of memory).
int music_thread_make() {
  if (!address_space_free(music_stack_size + library_memory_spare)) return ENOMEM;
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, music_stack_size);
  const int error = pthread_create(&music.thread, &attributes, music_run, nullptr);
  pthread_attr_destroy(&attributes);
  music.thread_made = error == 0;
  return error;
}

}  // namespace

MODULE* music_load(const char* path) {
  return module_read(module_open(path));
}

void music_start() {
  const int error = music_thread_make();
  if (error != 0) {
    std::fprintf(stderr, "Could not start the music: %s\n", std::strerror(error));
    return;
  }
  std::unique_lock hold(music.state);
  music.changed.wait_for(hold, Microseconds(music_start_wait), [] { return music.started; });
}

void music_play() {
  Stage expected = Stage::dialogue;
  while (!music.stage.compare_exchange_weak(expected, Stage::frames)) {
    if (expected == Stage::frames) return;
    expected = Stage::dialogue;
    std::this_thread::yield();  // a line is being written, which never waits
  }
  std::lock_guard hold(music.state);
  music.changed.notify_all();
}

void music_stop() {
  if (!music.thread_made) return;
  state_set(music.stopping);
  pthread_join(music.thread, nullptr);
  music.thread_made = false;
  music.restarts = 0;
  music.played = false;
  music.stage = Stage::dialogue;
  std::lock_guard hold(music.state);
  music.started = music.stopping = false;
}

int32_t music_restarts() {
  return music.restarts;
}
