#include "music/music.h"

#include <fcntl.h>
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
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "music/output.h"

namespace {

using Clock = std::chrono::steady_clock;
using Microseconds = std::chrono::microseconds;

// The states of Music::voice.
constexpr int voice_free = 0;
constexpr int voice_speaking = 1;  // a line is being written
constexpr int voice_closed = 2;    // the frames have begun

// What the music thread and the main thread share. Every libmikmod call
// holds `library`; the flags and the sleeps use `state`, which is never held
// across a library call or a write, so the main thread never waits for a
// driver or for standard error. Only the music thread starts, plays and
// stops the library.
struct Music {
  std::mutex library;
  MODULE* module = nullptr;  // null before the load and once a load failed
  int32_t restarts = 0;

  std::mutex state;
  std::condition_variable changed;
  bool started = false;  // the library has started and the first load is done
  bool stopping = false;
  std::atomic<bool> playing = false;  // the frames have begun; read without a lock
  // Who may write on standard error: the music before the frames, no one
  // once they have begun.
  std::atomic<int> voice = voice_free;
  // Where the music's own messages reach standard error, as the program
  // found it; -1 before the thread has set it up.
  int errors = -1;

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
// unless the frames have begun: from then on a failure of the music is
// silent, so nothing lands on the animation. No lock is held meanwhile: a
// standard error that nobody reads holds the music thread, not the banner.
void music_report(const char* what, const char* reason) {
  char line[512];
  const int length = std::snprintf(line, sizeof line, "%s%s\n", what, reason);
  int expected = voice_free;
  if (length <= 0 || !music.voice.compare_exchange_strong(expected, voice_speaking)) return;
  [[maybe_unused]] const ssize_t written =
      write(music.errors, line, std::min<size_t>(length, sizeof line - 1));
  expected = voice_speaking;
  music.voice.compare_exchange_strong(expected, voice_free);
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

// The outputs, in the order they are tried: the PulseAudio protocol, then
// ALSA's default device. Registered once: the library keeps its lists for
// the process, and a second registration of the loaders links their list
// into a loop that the next load never leaves.
void library_register() {
  [[maybe_unused]] static const bool registered =
      (MikMod_RegisterDriver(&pulse_output), MikMod_RegisterDriver(&alsa_output),
       MikMod_RegisterAllLoaders(), true);
}

// Starts the library on the first output that opens, or on the silent
// driver when none does, so that a load has a mixer to go into. False if
// even that fails.
bool library_start() {
  library_register();
  md_mode |= DMODE_SOFT_MUSIC | DMODE_INTERP | DMODE_HQMIXER;
  if (MikMod_Init("") == 0) return true;
  music_report("Could not initialize sound\nReason: ", MikMod_strerror(MikMod_errno));
  MikMod_RegisterDriver(&drv_nos);
  md_device = static_cast<UWORD>(MikMod_DriverFromAlias("nosound"));
  return md_device != 0 && MikMod_Init("") == 0;
}

// Frees the module and shuts the library down (`started`: it had started).
void library_stop(bool started) {
  if (music.module != nullptr) {
    Player_Stop();
    Player_Free(music.module);
    music.module = nullptr;
  }
  if (started) MikMod_Exit();
}

// Starts the library and loads the module. True when there is music to
// play and somewhere to hear it; otherwise the library is down again, and
// nothing mixes for the rest of the run.
bool music_prepare() {
  std::lock_guard hold(music.library);
  const bool started = library_start();
  if (started) {
    music.module = module_find();
    if (music.module == nullptr) {
      music_report("Could not load module, reason: ", MikMod_strerror(MikMod_errno));
    }
  }
  // Nobody hears the silent driver: the load only checks the module.
  if (started && music.module != nullptr && md_driver != &drv_nos) return true;
  library_stop(started);
  return false;
}

// Sleeps up to `time`; music_stop cuts it short. False once stopping.
bool music_sleep(Microseconds time) {
  std::unique_lock hold(music.state);
  if (time.count() == 0) return !music.stopping;
  return !music.changed.wait_for(hold, time, [] { return music.stopping; });
}

// The song has ended: read the module again and start it from its
// beginning. A failed load leaves the music off for the rest of the run,
// without a word.
void music_restart() {
  Player_Stop();
  Player_Free(music.module);
  music.module = module_find();
  Player_Start(music.module);
  ++music.restarts;
}

// How far the music has gone: the song time mixed since it began.
struct MusicPace {
  Clock::time_point origin;  // when song time 0 was due
  int64_t song = 0;
  int64_t longest_stretch = 0;  // the most one update has mixed
  int64_t idle = 0;             // the last wait after an update that mixed nothing
};

// Mixes the next stretch of music. Blocking drivers pace the thread by their
// writes; for the others the clock does: the song is never more than
// music_max_ahead in front of the real time since the music began, and a
// mixer that gave nothing is left alone for a while. Returns the time to
// sleep before the next stretch.
Microseconds music_mix(MusicPace& pace) {
  std::lock_guard hold(music.library);
  if (!Player_Active()) {
    music_restart();
    // A song that has ended before it began is read at most every music_idle.
    return Microseconds(music.module == nullptr || Player_Active() ? 0 : music_idle);
  }
  const int64_t start = song_microseconds(music.module);
  MikMod_Update();
  int64_t stretch = song_microseconds(music.module) - start;
  // The song ended inside the stretch, which the mixer filled all the same.
  if (!Player_Active()) stretch = std::max(stretch, pace.longest_stretch);
  pace.longest_stretch = std::max(stretch, pace.longest_stretch);
  pace.song += stretch;
  const auto now = Clock::now();
  const int64_t ahead =
      pace.song - std::chrono::duration_cast<Microseconds>(now - pace.origin).count();
  // Whatever a stall cost is lost: the music does not race to make it up.
  if (ahead < -music_max_ahead) pace.origin = now - Microseconds(pace.song + music_max_ahead);
  if (stretch == 0) {
    pace.idle = pace.idle == 0 ? music_idle : std::min(2 * pace.idle, music_idle_longest);
    return Microseconds(pace.idle);
  }
  pace.idle = 0;
  return Microseconds(std::max<int64_t>(0, ahead - (music_max_ahead - pace.longest_stretch)));
}

// Plays from the first frame until music_stop, or until a reload fails.
void music_play_on() {
  {
    std::unique_lock hold(music.state);
    music.changed.wait(hold, [] { return music.stopping || music.playing; });
  }
  {
    std::lock_guard hold(music.library);
    Player_Start(music.module);
  }
  MusicPace pace{.origin = Clock::now()};
  Microseconds pause(0);
  while (music_sleep(pause) && music.module != nullptr) pause = music_mix(pace);
  std::lock_guard hold(music.library);
  library_stop(true);
}

void* music_run(void*) {
  music.errors = library_output_quiet();
  const bool audible = music_prepare();
  state_set(music.started);
  if (audible) music_play_on();
  close(music.errors);
  return nullptr;
}

// Address space the sound libraries may take as they start. A PulseAudio
// connection maps four pools of 64 MiB (its own, the server's, and one each
// way for the stream's messages), and the client fails badly when they do
// not fit: it ends the process (SIGQUIT) on a failed allocation, and ALSA's
// route to the same server waits for ever for a thread it could not make.
// So under a limit (ulimit -v) the music starts only with this much to
// spare.
constexpr size_t library_memory_spare = size_t{272} << 20;

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
  if (music.playing) return;
  music.voice = voice_closed;
  std::lock_guard hold(music.state);
  music.playing = true;
  music.changed.notify_all();
}

void music_stop() {
  if (!music.thread_made) return;
  state_set(music.stopping);
  pthread_join(music.thread, nullptr);
  music.thread_made = false;
  std::lock_guard hold_library(music.library);
  music.restarts = 0;
  std::lock_guard hold_state(music.state);
  music.started = music.stopping = music.playing = false;
  music.voice = voice_free;
}

int32_t music_restarts() {
  std::lock_guard hold(music.library);
  return music.restarts;
}
