// A cursor over a borrowed table of fixed-size elements that steps with
// wrap-around in both directions.
#pragma once

#include <cstdint>
#include <memory>

struct CyclicSequence {
  int32_t element_size = 4;              // 1 for characters, 4 for 32-bit offsets
  int32_t count = 1;                     // elements in the table, at least 1
  int32_t position = 0;                  // always 0 to count - 1
  int32_t step = 1;                      // any value, negative and larger than count included
  const unsigned char* table = nullptr;  // borrowed
  // The table of a sequence that was never bound: two zero integers, so it
  // reads as 0 at every step.
  alignas(int32_t) unsigned char default_table[8] = {};
};

CyclicSequence* sequence_create();
void sequence_release(CyclicSequence* sequence);

// Binds the sequence to a table and goes back to its first element. The
// table must hold count elements and outlive the sequence.
void sequence_init(CyclicSequence* sequence, const void* table, int32_t element_size, int32_t count,
                   int32_t step);

// A new sequence over the table with step 1, the way every scroller uses one.
std::unique_ptr<CyclicSequence> sequence_over(const void* table, int32_t element_size,
                                              int32_t count);

// Any position brought into 0 to count - 1, where repeated wrapping round a
// cycle of count places would leave it. Positions already in range, as
// nearly every step leaves them, cost no division. The cyclic sequences and
// the logo orbit's paths all wrap through here.
inline int32_t cycle_wrap(int64_t position, int32_t count) {
  if (position >= 0 && position < count) return static_cast<int32_t>(position);
  position %= count;
  return static_cast<int32_t>(position < 0 ? position + count : position);
}

// The sum is taken wide, so no step overflows.
inline void sequence_step(CyclicSequence* sequence) {
  sequence->position = cycle_wrap(int64_t{sequence->position} + sequence->step, sequence->count);
}

// The current element; read it as a char when element_size is 1 and as an
// int32_t when it is 4 (see the readers below).
inline const void* sequence_current(const CyclicSequence* sequence) {
  return sequence->table + int64_t{sequence->position} * sequence->element_size;
}

inline char sequence_current_char(const CyclicSequence* sequence) {
  return *static_cast<const char*>(sequence_current(sequence));
}

inline int32_t sequence_current_int(const CyclicSequence* sequence) {
  return *static_cast<const int32_t*>(sequence_current(sequence));
}
