#include "tests/quality/alloc_count.h"

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <new>

// glibc's own allocator under its internal names: the replacements below
// count and hand over to it.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void* __libc_valloc(size_t size);
void* __libc_pvalloc(size_t size);
void __libc_free(void* pointer);
}

namespace {

std::atomic<bool> counting{false};
std::atomic<bool> every_thread{true};
std::atomic<int64_t> allocations{0};
// Whether this thread is the one that started counting.
thread_local bool counting_thread = false;

void note() {
  if (counting.load(std::memory_order_relaxed) &&
      (counting_thread || every_thread.load(std::memory_order_relaxed))) {
    allocations.fetch_add(1, std::memory_order_relaxed);
  }
}

void* checked(void* pointer) {
  if (pointer == nullptr) throw std::bad_alloc();
  return pointer;
}

void* aligned(size_t alignment, size_t size) {
  note();
  return __libc_memalign(alignment, size);
}

}  // namespace

int64_t allocation_count() {
  return allocations.load();
}
void allocation_count_reset() {
  allocations.store(0);
}
void allocation_counting(bool on, bool all_threads) {
  counting_thread = on;
  every_thread.store(all_threads);
  counting.store(on);
}

extern "C" {

void* malloc(size_t size) {
  note();
  return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
  note();
  return __libc_calloc(count, size);
}

void* realloc(void* pointer, size_t size) {
  note();
  return __libc_realloc(pointer, size);
}

void free(void* pointer) {
  __libc_free(pointer);
}

void* memalign(size_t alignment, size_t size) {
  return aligned(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) {
  return aligned(alignment, size);
}

int posix_memalign(void** out, size_t alignment, size_t size) {
  if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
  void* pointer = aligned(alignment, size);
  if (pointer == nullptr) return ENOMEM;
  *out = pointer;
  return 0;
}

void* valloc(size_t size) {
  note();
  return __libc_valloc(size);
}

void* pvalloc(size_t size) {
  note();
  return __libc_pvalloc(size);
}

}  // extern "C"

void* operator new(size_t size) {
  return checked(malloc(size));
}
void* operator new[](size_t size) {
  return checked(malloc(size));
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  return malloc(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  return malloc(size);
}
void* operator new(size_t size, std::align_val_t alignment) {
  return checked(aligned(static_cast<size_t>(alignment), size));
}
void* operator new[](size_t size, std::align_val_t alignment) {
  return checked(aligned(static_cast<size_t>(alignment), size));
}
void* operator new(size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return aligned(static_cast<size_t>(alignment), size);
}
void* operator new[](size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return aligned(static_cast<size_t>(alignment), size);
}

void operator delete(void* pointer) noexcept {
  free(pointer);
}
void operator delete[](void* pointer) noexcept {
  free(pointer);
}
void operator delete(void* pointer, size_t) noexcept {
  free(pointer);
}
void operator delete[](void* pointer, size_t) noexcept {
  free(pointer);
}
void operator delete(void* pointer, const std::nothrow_t&) noexcept {
  free(pointer);
}
void operator delete[](void* pointer, const std::nothrow_t&) noexcept {
  free(pointer);
}
void operator delete(void* pointer, std::align_val_t) noexcept {
  free(pointer);
}
void operator delete[](void* pointer, std::align_val_t) noexcept {
  free(pointer);
}
void operator delete(void* pointer, size_t, std::align_val_t) noexcept {
  free(pointer);
}
void operator delete[](void* pointer, size_t, std::align_val_t) noexcept {
  free(pointer);
}
void operator delete(void* pointer, std::align_val_t, const std::nothrow_t&) noexcept {
  free(pointer);
}
void operator delete[](void* pointer, std::align_val_t, const std::nothrow_t&) noexcept {
  free(pointer);
}
