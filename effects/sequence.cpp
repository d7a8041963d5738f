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

// The position moves by any step and lands in 0 to count - 1, as repeated
// wrapping would leave it; the sum is taken wide so that no step overflows,
// and the remainder does the wrapping in one go however large the step.
void sequence_step(CyclicSequence* sequence) {
  const int64_t count = sequence->count;
  int64_t position = (int64_t{sequence->position} + sequence->step) % count;
  if (position < 0) position += count;
  sequence->position = static_cast<int32_t>(position);
}

const void* sequence_current(const CyclicSequence* sequence) {
  return sequence->table + int64_t{sequence->position} * sequence->element_size;
}
