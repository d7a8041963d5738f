// The background music of `intro`: "blumot.mod" from the current directory,
// played through libmikmod and restarted from the file each time it ends.
#pragma once

// Starts the library and the module. Failures go to standard error and the
// intro goes on without music; it always returns.
void music_start();

// The frame pause of `intro`: sleeps the frame period (intro_settings) in
// slices of at most 100000 microseconds and services the player after each
// slice, restarting the module when its song has ended.
void frame_wait();

// Stops and frees the module and shuts the library down. The intro itself
// never calls it: the run ends with the interrupt.
void music_stop();
