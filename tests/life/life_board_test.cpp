#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

#include "life/life_board_of.h"
#include "settings/random_generator.h"
#include "settings/resolved_options.h"

// Counts every allocation of the test program, so that a generation can be
// shown to allocate nothing. All forms are replaced together so that the
// sanitizers see matching pairs.
namespace {
std::atomic<long> allocations{0};

void* Counted(std::size_t size) noexcept {
  ++allocations;
  return std::malloc(size ? size : 1);
}
void* CountedOrThrow(std::size_t size) {
  if (void* memory = Counted(size)) return memory;
  throw std::bad_alloc();
}
}  // namespace

// clang-format off
void* operator new(std::size_t size) { return CountedOrThrow(size); }
void* operator new[](std::size_t size) { return CountedOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Counted(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Counted(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
// clang-format on

namespace {

using Board = LifeBoardOf<LifeCell>;
using Cells = std::vector<std::pair<int32_t, int32_t>>;

// The same options and generator for every test; the process-wide options are put back.
class LifeBoardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = Resolved;
    Resolved.Generations = 20;
    Resolved.ConnectTBLR = 0;
    SeedRandom(1);
  }
  void TearDown() override { Resolved = saved_; }

 private:
  ResolvedOptionsRecord saved_{};
};

template <typename F>
void ForEachCell(LifeBoard& board, F f) {
  for (int32_t y = 1; y <= board.Height(); ++y)
    for (int32_t x = 1; x <= board.Width(); ++x) f(board.CellAt(x, y), x, y);
}

void SetHistories(LifeBoard& board, uint32_t history) {
  ForEachCell(board, [&](LifeCell& cell, int32_t, int32_t) { cell.history = history; });
}

// Turns an allocated board into a fresh one holding only the given live cells.
void Place(LifeBoard& board, const Cells& live) {
  SetHistories(board, 0);
  for (auto [x, y] : live) board.CellAt(x, y).history = 1;
}

Cells LiveCells(LifeBoard& board) {
  Cells live;
  ForEachCell(board, [&](LifeCell& cell, int32_t x, int32_t y) {
    if (cell.history & 1) live.emplace_back(x, y);
  });
  return live;
}

// The generator's next draws; the generator is left where it started.
std::vector<int> Draws(uint32_t seed, int count) {
  SeedRandom(seed);
  std::vector<int> draws;
  for (int i = 0; i < count; ++i) draws.push_back(DrawRandom());
  SeedRandom(seed);
  return draws;
}

// A cell type with a vtable and data of its own, as a scene cell has: its Life
// cell part does not sit at the start of the record.
struct CountedCell : LifeCell {
  CountedCell() { ++alive; }
  virtual ~CountedCell() { --alive; }
  double extra = 0.5;
  static inline int alive = 0;
};

TEST_F(LifeBoardTest, StepsThroughDerivedCellsAndKeepsTheirHistory) {
  {
    LifeBoardOf<CountedCell> board;
    ASSERT_TRUE(board.Allocate(12, 9));
    EXPECT_FALSE(board.Allocate(20, 15));
    ASSERT_TRUE(board.Reallocate(20, 15));
    EXPECT_EQ(CountedCell::alive, 21 * 17 + 1);
    Place(board, {{4, 5}, {5, 5}, {6, 5}});
    board.CellAt(4, 5).extra = 7.0;
    EXPECT_TRUE(board.Step());
    EXPECT_EQ(LiveCells(board), (Cells{{5, 4}, {5, 5}, {5, 6}}));
    EXPECT_EQ(board.CellAt(4, 5).extra, 7.0);
    board.Step();
    EXPECT_EQ(board.CellAt(4, 5).history, 0b101u);  // alive, dead, alive
  }
  EXPECT_EQ(CountedCell::alive, 0);

  Board empty;
  EXPECT_FALSE(empty.Allocate(0, 9));
  EXPECT_TRUE(Board().Allocate(1, 1));  // the smallest board there is
  const int next = Draws(3, 1)[0];
  empty.Seed();
  empty.ChooseSplitParents();
  EXPECT_FALSE(empty.Step());
  EXPECT_EQ(DrawRandom(), next);
}

// One draw per cell in row order, about a quarter alive. Cells seeded dead
// keep their older history, so a re-seeded board remembers the previous run and
// its new cells split from the cells alive in it.
TEST_F(LifeBoardTest, ReseedingKeepsTheHistoryOfCellsSeededDead) {
  Resolved.Generations = 7;
  Board board;
  ASSERT_TRUE(board.Allocate(12, 9));
  SetHistories(board, 0xF0F0F0F3u);
  const std::vector<int> draws = Draws(9, 12 * 9 + 1);
  board.Seed();
  EXPECT_EQ(DrawRandom(), draws[12 * 9]);
  EXPECT_EQ(board.StableCountdown(), 7);
  ForEachCell(board, [&](LifeCell& cell, int32_t x, int32_t y) {
    const bool live = draws[(y - 1) * 12 + (x - 1)] >= kSeedDeadBelow;
    EXPECT_EQ(cell.history, live ? 1u : 0xF0F0F0F2u) << x << "," << y;
  });
  const int alive = static_cast<int>(LiveCells(board).size());
  EXPECT_GT(alive, 12);  // a broken threshold shows up here
  EXPECT_LT(alive, 45);
  board.ChooseSplitParents();
  int linked = 0;
  for (auto [x, y] : LiveCells(board)) {
    const LifeCell* parent = board.CellAt(x, y).splitParent;
    if (!parent) continue;
    ++linked;
    EXPECT_EQ(parent->history, 0xF0F0F0F2u);
    EXPECT_LE(std::max(std::abs(parent->x - x), std::abs(parent->y - y)), 1);
  }
  EXPECT_GT(linked, alive / 2);  // most had a neighbour seeded dead
}

// No generation allocates anything.
TEST_F(LifeBoardTest, RunsEndWhenTheBoardDiesOrSettles) {
  const Cells block = {{5, 4}, {6, 4}, {5, 5}, {6, 5}};
  const Cells blinker = {{5, 5}, {6, 5}, {7, 5}};
  const Cells glider = {{2, 1}, {3, 2}, {1, 3}, {2, 3}, {3, 3}};
  struct Case {
    const char* name;
    int32_t width, height;
    bool joined, full;
    uint32_t generations;
    Cells live;
    int firstFalse;  // 0: still going after 5000 steps
  };
  const Case cases[] = {
      {"empty", 12, 9, false, false, 20, {}, 1},
      {"single cell", 12, 9, false, false, 20, {{6, 5}}, 2},
      // The corners keep three neighbours for one step, then die.
      {"full, dead border", 12, 9, false, true, 20, {}, 3},
      {"full, joined", 12, 9, true, true, 20, {}, 2},
      {"block", 12, 9, false, false, 20, block, 21},
      {"block, 0", 12, 9, false, false, 0, block, 1},
      // Births stop counting once the blinker repeats what it did 16 back.
      {"blinker", 12, 9, false, false, 20, blinker, 36},
      {"blinker, 0", 12, 9, false, false, 0, blinker, 16},
      {"glider, joined", 32, 24, true, false, 0, glider, 0},
      // The glider runs into the dead border and what is left settles.
      {"glider, dead border", 12, 9, false, false, 20, glider, 48},
  };
  for (const Case& c : cases) {
    Resolved.Generations = c.generations;
    Resolved.ConnectTBLR = c.joined;
    Board board;
    ASSERT_TRUE(board.Allocate(c.width, c.height));
    Place(board, c.live);
    if (c.full) SetHistories(board, 1);
    long allocated = 0;
    int firstFalse = 0;
    for (int step = 1; step <= 5000 && firstFalse == 0; ++step) {
      const long before = allocations.load();
      board.ChooseSplitParents();
      if (!board.Step()) firstFalse = step;
      allocated += allocations.load() - before;
      if (step == 1 && c.full && !c.joined) {
        EXPECT_EQ(LiveCells(board), (Cells{{1, 1}, {12, 1}, {1, 9}, {12, 9}}));
      }
    }
    EXPECT_EQ(firstFalse, c.firstFalse) << c.name;
    EXPECT_EQ(allocated, 0) << c.name;
    if (c.firstFalse == 0) {
      EXPECT_EQ(LiveCells(board).size(), 5u) << c.name;
    }
  }
}

TEST_F(LifeBoardTest, ANewCellDrawsItsSplitParentAmongTheEightInTheirFixedOrder) {
  Board board;
  ASSERT_TRUE(board.Allocate(12, 9));
  Place(board, {});
  const Cells order = {{4, 4}, {5, 4}, {6, 4}, {4, 5}, {6, 5}, {4, 6}, {5, 6}, {6, 6}};
  for (auto [x, y] : order) board.CellAt(x, y).history = 0b10;
  board.CellAt(5, 5).history = 0b01;
  // Links of the previous generation must not survive the choice.
  board.CellAt(1, 1).splitParent = &board.CellAt(2, 2);
  board.CellAt(2, 2).splitParentFlag = true;

  std::vector<bool> picked(8, false);
  for (uint32_t seed = 0; seed < 64; ++seed) {
    const std::vector<int> draws = Draws(seed, 2);
    board.ChooseSplitParents();
    const auto [x, y] = order[draws[0] % 8];
    EXPECT_EQ(board.CellAt(5, 5).splitParent, &board.CellAt(x, y)) << "draw " << draws[0];
    EXPECT_TRUE(board.CellAt(x, y).splitParentFlag);
    int flagged = 0;
    ForEachCell(board, [&](LifeCell& cell, int32_t, int32_t) { flagged += cell.splitParentFlag; });
    EXPECT_EQ(flagged, 1);
    EXPECT_EQ(board.CellAt(1, 1).splitParent, nullptr);
    EXPECT_EQ(DrawRandom(), draws[1]);  // one draw for the one new cell
    picked[draws[0] % 8] = true;
  }
  EXPECT_EQ(std::count(picked.begin(), picked.end(), true), 8);
}

}  // namespace
