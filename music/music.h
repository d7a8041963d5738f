// The background music of `intro`: "blumot.mod", played through libmikmod on
// a thread of its own and read again from the file each time it ends.
#pragma once

#include <mikmod.h>

#include <cstddef>
#include <cstdint>

inline constexpr const char* music_file = "blumot.mod";
inline constexpr int music_voices = 4;
// Whether a load also plays the positions that a module may hide behind the
// end of its song: it does not, only the song's own order is played.
inline constexpr BOOL music_plays_hidden_positions = 0;

// Starts the music thread, which starts the library, looks for an output
// and loads the module. Waits for that at most music_start_wait
// microseconds: a sound server that does not answer must not hold the
// banner. Failures before the frames begin go to standard error, and the
// music goes on looking for what failed; a thread that cannot be made is
// said in one line, and the intro goes on without music.
void music_start();
inline constexpr int64_t music_start_wait = 1000000;

// The stack of the music thread, whatever limit the main thread's stack has
// (ulimit -s).
inline constexpr size_t music_stack_size = size_t{1} << 20;

// The frames are about to begin: the thread starts the module and mixes it
// from now on. A line of the music already being written is let finish
// (it never waits for standard error, see music.cpp), and nothing more of
// the music is written, so none lands on a frame. Later calls do nothing.
void music_play();

// Ends the thread, which frees the module and shuts the library down. The
// intro itself never calls it: the run ends with the interrupt.
void music_stop();

// How often the song has ended and been read again since music_start.
int32_t music_restarts();

// Loads the module at `path`, which must be a regular file. It is opened
// without blocking (a FIFO or a device never holds the program) and the file
// that was checked is the one the library reads. Null on failure, with
// MikMod_errno set.
MODULE* music_load(const char* path);

// A module that does not load is read again after this long, until it does.
inline constexpr int64_t music_reload_time = 1000000;

// On a driver that says nothing of what it keeps (the tests' disk writer),
// the music is mixed at most this far ahead of real time.
inline constexpr int64_t music_max_ahead = 1000000;

// A driver that mixed nothing in an update is asked again after music_idle,
// and after twice as long each time it still has nothing, up to
// music_idle_longest: a full sound server is asked a few times a second.
// While no output answers at all, the thread sleeps until its next look.
inline constexpr int64_t music_idle = 50000;
inline constexpr int64_t music_idle_longest = 400000;
