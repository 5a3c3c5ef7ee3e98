#include <vector>

#include "life_test_support.h"
#include "settings/settings.h"

namespace {

// A cell type with a vtable and data of its own, as a scene cell has: its Life
// cell part does not sit at the start of the record.
struct CountedCell : LifeCell {
  CountedCell() { ++alive; }
  virtual ~CountedCell() { --alive; }
  double extra = 0.5;
  static inline int alive = 0;
};

struct CountedBoard : LifeBoardOf<CountedCell> {
  void Seed() override {
    ++seeds;
    LifeBoardOf::Seed();
  }
  int seeds = 0;
};

std::vector<int> Draws(uint32_t seed, int count) {
  SeedRandom(seed);
  std::vector<int> draws;
  for (int i = 0; i < count; ++i) draws.push_back(DrawRandom());
  SeedRandom(seed);
  return draws;
}

using LifeBoardAllocation = LifeBoardTest;

TEST_F(LifeBoardAllocation, CreatesDerivedCellsSeedsThemAndRefusesASecondAllocate) {
  {
    CountedBoard board;
    EXPECT_FALSE(board.HasCells());
    ASSERT_TRUE(board.Allocate(12, 9));
    EXPECT_EQ(CountedCell::alive, 13 * 11 + 1);
    EXPECT_EQ(board.seeds, 1);

    EXPECT_FALSE(board.Allocate(20, 15));
    EXPECT_EQ(board.Width(), 12);
    EXPECT_EQ(board.Height(), 9);
    EXPECT_EQ(board.seeds, 1);
    EXPECT_EQ(CountedCell::alive, 13 * 11 + 1);

    ASSERT_TRUE(board.Reallocate(20, 15));
    EXPECT_EQ(board.Width(), 20);
    EXPECT_EQ(board.Height(), 15);
    EXPECT_EQ(board.seeds, 2);
    EXPECT_EQ(CountedCell::alive, 21 * 17 + 1);

    // The rule must work through the typed records, not assume Life cells
    // packed back to back.
    Place(board, {{4, 5}, {5, 5}, {6, 5}});
    board.CellAt(4, 5).extra = 7.0;
    EXPECT_TRUE(board.Step());
    EXPECT_EQ(LiveCells(board), (std::vector<Position>{{5, 4}, {5, 5}, {5, 6}}));
    EXPECT_EQ(board.CellAt(4, 5).extra, 7.0);
    EXPECT_EQ(board.CellAt(5, 4).extra, 0.5);
  }
  EXPECT_EQ(CountedCell::alive, 0);
}

TEST_F(LifeBoardAllocation, BoardWithoutCellsNeitherStepsNorDraws) {
  Board board;
  EXPECT_FALSE(board.Allocate(0, 9));
  EXPECT_FALSE(board.HasCells());
  const int next = Draws(3, 1)[0];
  board.Seed();
  board.ChooseSplitParents();
  EXPECT_FALSE(board.Step());
  EXPECT_EQ(DrawRandom(), next);
}

using LifeBoardSeeding = LifeBoardTest;

TEST_F(LifeBoardSeeding, DrawsOnceForEveryInteriorCellInRowOrder) {
  Resolved.Generations = 7;
  const std::vector<int> draws = Draws(42, 12 * 9 + 1);
  Board board;
  ASSERT_TRUE(board.Allocate(12, 9));
  EXPECT_EQ(DrawRandom(), draws[12 * 9]);
  EXPECT_EQ(board.StableCountdown(), 7);

  int alive = 0;
  for (int32_t y = 1; y <= 9; ++y) {
    for (int32_t x = 1; x <= 12; ++x) {
      const LifeCell& cell = board.CellAt(x, y);
      EXPECT_EQ(cell.x, x);
      EXPECT_EQ(cell.y, y);
      const uint32_t expected = draws[(y - 1) * 12 + (x - 1)] >= kSeedDeadBelow ? 1 : 0;
      EXPECT_EQ(cell.history, expected) << x << "," << y;
      alive += cell.history;
    }
  }
  // About a quarter alive; a broken threshold shows up here.
  EXPECT_GT(alive, 12);
  EXPECT_LT(alive, 45);
  for (int32_t x = 0; x <= 13; ++x) EXPECT_EQ(board.CellAt(x, 0).history, 0u);
  for (int32_t y = 0; y <= 10; ++y) EXPECT_EQ(board.CellAt(0, y).history, 0u);
}

TEST_F(LifeBoardSeeding, ReseedKeepsOlderHistoryOfCellsSeededDead) {
  Board board;
  ASSERT_TRUE(board.Allocate(12, 9));
  for (int32_t y = 1; y <= 9; ++y) {
    for (int32_t x = 1; x <= 12; ++x) board.CellAt(x, y).history = 0xF0F0F0F1u;
  }
  const std::vector<int> draws = Draws(9, 12 * 9);
  board.Seed();
  for (int32_t y = 1; y <= 9; ++y) {
    for (int32_t x = 1; x <= 12; ++x) {
      const bool alive = draws[(y - 1) * 12 + (x - 1)] >= kSeedDeadBelow;
      EXPECT_EQ(board.CellAt(x, y).history, alive ? 1u : 0xF0F0F0F0u) << x << "," << y;
    }
  }
}

using LifeBoardEdges = LifeBoardTest;

TEST_F(LifeBoardEdges, WrapMapsBorderOnlyWhenEdgesAreJoined) {
  Board board;
  ASSERT_TRUE(board.Allocate(12, 9));
  int32_t x = 0, y = 10;
  board.Wrap(x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 10);

  Resolved.ConnectTBLR = 1;
  x = 0, y = 10;
  board.Wrap(x, y);
  EXPECT_EQ(x, 12);
  EXPECT_EQ(y, 1);
  x = 13, y = 0;
  board.Wrap(x, y);
  EXPECT_EQ(x, 1);
  EXPECT_EQ(y, 9);
  x = 5, y = 4;
  board.Wrap(x, y);
  EXPECT_EQ(x, 5);
  EXPECT_EQ(y, 4);
  EXPECT_EQ(&board.CellAt(0, 0), &board.CellAt(12, 9));
  EXPECT_EQ(&board.CellAt(13, 3), &board.CellAt(1, 3));
}

TEST_F(LifeBoardEdges, BlinkerAcrossTheSideEdge) {
  Board board;
  ASSERT_TRUE(board.Allocate(12, 9));
  Place(board, {{1, 4}, {1, 5}, {1, 6}});
  board.Step();
  EXPECT_EQ(LiveCells(board), (std::vector<Position>{{1, 5}, {2, 5}}));

  Resolved.ConnectTBLR = 1;
  Place(board, {{1, 4}, {1, 5}, {1, 6}});
  board.Step();
  EXPECT_EQ(LiveCells(board), (std::vector<Position>{{1, 5}, {2, 5}, {12, 5}}));
}

TEST_F(LifeBoardEdges, BlinkerAcrossTheTopEdge) {
  Board board;
  ASSERT_TRUE(board.Allocate(12, 9));
  Place(board, {{4, 1}, {5, 1}, {6, 1}});
  board.Step();
  EXPECT_EQ(LiveCells(board), (std::vector<Position>{{5, 1}, {5, 2}}));

  Resolved.ConnectTBLR = 1;
  Place(board, {{4, 1}, {5, 1}, {6, 1}});
  board.Step();
  EXPECT_EQ(LiveCells(board), (std::vector<Position>{{5, 1}, {5, 2}, {5, 9}}));
}

// The end of a run through the real options code: the same size seeds the
// same cells again, another size makes new ones.
class LifeBoardRunEnd : public LifeBoardTest {
 protected:
  void SetUp() override {
    LifeBoardTest::SetUp();
    savedSettings_ = Settings;
    Settings.FixedSpeed = 0;
    Settings.Speed = 10;
    Settings.Roll = 0;
    Settings.Colors = 0;
    Settings.ConnectTBLR = 0;
    Settings.CameraMove = 0;
    Settings.Wave = 0;
    Resolved.BoardWidth = 12;
    Resolved.BoardHeight = 9;
    ASSERT_TRUE(board_.Allocate(12, 9));
    for (int32_t y = 1; y <= 9; ++y) {
      for (int32_t x = 1; x <= 12; ++x) board_.CellAt(x, y).history = 0xFFFFFFFEu;
    }
  }
  void TearDown() override {
    Settings = savedSettings_;
    LifeBoardTest::TearDown();
  }

  int DeadCellsWithHistory(uint32_t history) {
    int count = 0;
    for (int32_t y = 1; y <= board_.Height(); ++y) {
      for (int32_t x = 1; x <= board_.Width(); ++x) {
        count += board_.CellAt(x, y).history == history ? 1 : 0;
      }
    }
    return count;
  }

  Board board_;
  SettingsRecord savedSettings_{};
};

TEST_F(LifeBoardRunEnd, SameSizeReseedsTheSameCells) {
  Settings.Size = 2;
  const LifeCell* first = &board_.CellAt(1, 1);
  const std::vector<int> draws = Draws(11, 12 * 9 + 1);
  ReresolveOptions(board_);
  EXPECT_EQ(board_.Width(), 12);
  EXPECT_EQ(board_.Height(), 9);
  EXPECT_EQ(&board_.CellAt(1, 1), first);
  EXPECT_GT(DeadCellsWithHistory(0xFFFFFFFEu), 0);
  // No option is random, so seeding takes every draw.
  EXPECT_EQ(DrawRandom(), draws[12 * 9]);
}

TEST_F(LifeBoardRunEnd, OtherSizeReallocatesAndSeeds) {
  Settings.Size = 0;
  ReresolveOptions(board_);
  EXPECT_EQ(board_.Width(), 32);
  EXPECT_EQ(board_.Height(), 24);
  EXPECT_EQ(Resolved.BoardWidth, 32);
  EXPECT_EQ(DeadCellsWithHistory(0xFFFFFFFEu), 0);
  EXPECT_GT(DeadCellsWithHistory(0), 0);
  EXPECT_GT(LiveCells(board_).size(), 0u);
}

}  // namespace
