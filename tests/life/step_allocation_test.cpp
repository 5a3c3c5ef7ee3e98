#include <atomic>
#include <cstdlib>
#include <new>

#include "life_test_support.h"

// Counts every allocation of the test program, so that a generation can be
// shown to allocate nothing. All forms are replaced together so that the
// sanitizers see matching pairs.
namespace {
std::atomic<long> allocations{0};

void* CountedAllocate(std::size_t size) {
  ++allocations;
  if (void* memory = std::malloc(size ? size : 1)) return memory;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) {
  return CountedAllocate(size);
}
void* operator new[](std::size_t size) {
  return CountedAllocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  ++allocations;
  return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  ++allocations;
  return std::malloc(size ? size : 1);
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete[](void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
  std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
  std::free(memory);
}

namespace {

using StepAllocation = LifeBoardTest;

TEST_F(StepAllocation, GenerationsAllocateNothing) {
  Resolved.ConnectTBLR = 1;
  Board board;
  const long before = allocations.load();
  ASSERT_TRUE(board.Allocate(32, 24));
  EXPECT_GT(allocations.load(), before);

  const long start = allocations.load();
  int steps = 0;
  for (; steps < 200; ++steps) {
    board.ChooseSplitParents();
    if (!board.Step()) break;
  }
  const long during = allocations.load() - start;
  EXPECT_GT(steps, 10);
  EXPECT_EQ(during, 0);
}

}  // namespace
