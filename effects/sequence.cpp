#include "effects/sequence.h"

CyclicSequence* sequence_create() {
  auto* sequence = new CyclicSequence{};
  sequence->table = sequence->default_table;
  return sequence;
}

void sequence_release(CyclicSequence* sequence) {
  delete sequence;
}

std::unique_ptr<CyclicSequence> sequence_over(const void* table, int32_t element_size,
                                              int32_t count) {
  std::unique_ptr<CyclicSequence> sequence(sequence_create());
  sequence_init(sequence.get(), table, element_size, count, 1);
  return sequence;
}

void sequence_init(CyclicSequence* sequence, const void* table, int32_t element_size, int32_t count,
                   int32_t step) {
  sequence->table = static_cast<const unsigned char*>(table);
  sequence->element_size = element_size;
  sequence->count = count;
  sequence->step = step;
  sequence->position = 0;
}

// One correction wraps any step no larger than the count, which is every
// step the scenes use. A larger step, of any size, wraps by the remainder:
// the place repeated wrapping would reach, without its many rounds. The sum
// is taken wide so that no step overflows.
void sequence_step(CyclicSequence* sequence) {
  const int64_t count = sequence->count;
  int64_t position = int64_t{sequence->position} + sequence->step;
  if (position >= count) {
    position -= count;
  } else if (position < 0) {
    position += count;
  }
  if (position < 0 || position >= count) {
    position %= count;
    if (position < 0) position += count;
  }
  sequence->position = static_cast<int32_t>(position);
}

const void* sequence_current(const CyclicSequence* sequence) {
  return sequence->table + int64_t{sequence->position} * sequence->element_size;
}
