// An output stream into memory, for reading back what a piece of the intro
// printed.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

class MemoryStream {
 public:
  MemoryStream() : stream_(open_memstream(&data_, &size_)) {}
  ~MemoryStream() {
    std::fclose(stream_);
    std::free(data_);
  }
  MemoryStream(const MemoryStream&) = delete;
  MemoryStream& operator=(const MemoryStream&) = delete;

  FILE* stream() {
    return stream_;
  }

  // Everything written so far.
  std::string text() {
    std::fflush(stream_);
    return std::string(data_, size_);
  }

 private:
  char* data_ = nullptr;
  size_t size_ = 0;
  FILE* stream_;
};

// An input stream that reads the given bytes, NULs included.
class InputStream {
 public:
  explicit InputStream(std::string bytes) : bytes_(std::move(bytes)) {
    // fmemopen refuses a size of 0, so an empty input gets one byte it
    // never reaches.
    stream_ =
        fmemopen(bytes_.empty() ? empty_ : bytes_.data(), bytes_.empty() ? 1 : bytes_.size(), "r");
    if (bytes_.empty()) std::fgetc(stream_);
  }
  ~InputStream() {
    std::fclose(stream_);
  }
  InputStream(const InputStream&) = delete;
  InputStream& operator=(const InputStream&) = delete;

  FILE* stream() {
    return stream_;
  }

 private:
  std::string bytes_;
  char empty_[1] = {0};
  FILE* stream_;
};
