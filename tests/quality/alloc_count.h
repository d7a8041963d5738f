// Counts the heap allocations of the whole process: the test binary that
// links alloc_count.cpp replaces the global operator new and delete and the
// C library's malloc family, so every allocation, whoever makes it (the
// standard streams, the C library, a library the program links), passes
// through here.
#pragma once

#include <cstdint>

// Allocations (new, malloc, calloc, realloc, aligned and page-aligned ones)
// since the last allocation_count_reset(); frees are not counted.
int64_t allocation_count();
void allocation_count_reset();

// Counts only between allocation_counting(true) and (false): every
// thread's allocations, or only those of the thread that calls it.
void allocation_counting(bool on, bool all_threads = true);

// Counts the allocations made while the scope lives.
class AllocationScope {
 public:
  explicit AllocationScope(bool all_threads = true) {
    allocation_count_reset();
    allocation_counting(true, all_threads);
  }
  ~AllocationScope() {
    allocation_counting(false);
  }
  AllocationScope(const AllocationScope&) = delete;
  AllocationScope& operator=(const AllocationScope&) = delete;

  int64_t count() const {
    return allocation_count();
  }
};
