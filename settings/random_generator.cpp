#include "settings/random_generator.h"

#include <atomic>

namespace {
// The window thread and the Render thread draw in turn, never together; the
// atomic only keeps each draw whole.
std::atomic<uint32_t> state{0};
}  // namespace

void SeedRandom(uint32_t seed) { state = seed; }

int DrawRandom() {
  const uint32_t next = state.load() * 214013u + 2531011u;
  state = next;
  return int((next >> 16) & 0x7FFF);
}
