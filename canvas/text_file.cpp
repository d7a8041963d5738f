#include "canvas/text_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

int32_t text_longest_line(const char* text) {
  int32_t best = 0;
  int32_t running = 0;
  for (; *text != '\0'; ++text) {
    if (*text == '\n') {
      if (running > best) best = running;
      running = 0;
    } else {
      ++running;
    }
  }
  return best;
}

int32_t text_line_count(const char* text) {
  int32_t count = 1;
  for (; *text != '\0'; ++text) {
    if (*text == '\n') ++count;
  }
  return count;
}

int32_t text_length(const char* text) {
  return static_cast<int32_t>(std::strlen(text));
}

namespace {

// Closes the file when it goes out of scope.
struct FileCloser {
  void operator()(FILE* file) const {
    std::fclose(file);
  }
};

FILE* open_binary(const char* path, const char* mode) {
  return std::fopen(path, mode);
}

}  // namespace

int64_t file_size(const char* path) {
  std::unique_ptr<FILE, FileCloser> file(open_binary(path, "rb"));
  if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return -1;
  return std::ftell(file.get());
}

char* file_read_all(const char* path) {
  const int64_t size = file_size(path);
  if (size < 0) return nullptr;
  std::unique_ptr<FILE, FileCloser> file(open_binary(path, "rb"));
  if (!file) return nullptr;
  auto* buffer = static_cast<char*>(std::calloc(static_cast<size_t>(size) + 1, 1));
  if (buffer == nullptr) return nullptr;
  // A short read leaves the rest of the buffer at 0.
  [[maybe_unused]] const size_t read = std::fread(buffer, 1, static_cast<size_t>(size), file.get());
  return buffer;
}

bool file_write_text(const char* text, const char* path) {
  const size_t length = static_cast<size_t>(text_length(text));
  std::unique_ptr<FILE, FileCloser> file(open_binary(path, "wb"));
  if (!file) return false;
  const bool written = std::fwrite(text, 1, length, file.get()) == length;
  return std::fclose(file.release()) == 0 && written;
}
