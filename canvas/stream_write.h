// Handing a block of bytes to an output stream whole, through interrupted
// and non-blocking writes.
#pragma once

#include <cstddef>
#include <cstdio>

// Writes all `size` bytes to the stream and flushes it. An interrupted write
// is retried, and when the output is non-blocking and full, the rest waits
// until it can be written: the reader never gets a part of the block alone.
// On an unbuffered stream the normal case is one write(2). Returns 0, or the
// errno of a failure that no retry mends (a closed pipe, a full disk, a
// terminal gone, a closed descriptor); the stream's error flag is then set.
int stream_write_all(FILE* stream, const char* bytes, size_t size);
