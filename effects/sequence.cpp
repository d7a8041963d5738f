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
