#include "canvas/stream_write.h"

#include <poll.h>

#include <cerrno>

namespace {

// Waits until the stream's descriptor takes bytes again. False when it has
// none to wait on, or the wait itself fails.
bool stream_wait_writable(FILE* stream) {
  pollfd watched{.fd = fileno(stream), .events = POLLOUT, .revents = 0};
  if (watched.fd < 0) return false;
  for (;;) {
    if (poll(&watched, 1, -1) >= 0) return true;
    if (errno != EINTR) return false;
  }
}

// Whether the failure `error` is passing: the write is to be tried again.
bool stream_retry(FILE* stream, int error) {
  if (error == EINTR) return true;
  return (error == EAGAIN || error == EWOULDBLOCK) && stream_wait_writable(stream);
}

}  // namespace

int stream_write_all(FILE* stream, const char* bytes, size_t size) {
  size_t written = 0;
  for (;;) {
    errno = 0;
    // The C library reports how much of the block went out before a write
    // failed, so a retry carries on from there.
    written += std::fwrite(bytes + written, 1, size - written, stream);
    if (written == size && std::fflush(stream) == 0) return 0;
    const int error = errno != 0 ? errno : EIO;
    if (!stream_retry(stream, error)) return error;
    std::clearerr(stream);
  }
}
