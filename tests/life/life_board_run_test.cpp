#include "life_test_support.h"

namespace {

using LifeBoardRun = LifeBoardTest;

TEST_F(LifeBoardRun, EmptyBoardEndsAtOnce) {
  Board board;
  ASSERT_TRUE(board.Allocate(12, 9));
  Place(board, {});
  EXPECT_FALSE(board.Step());
}

TEST_F(LifeBoardRun, SingleCellDiesThenTheRunEnds) {
  Resolved.Generations = 1;
  Board board;
  ASSERT_TRUE(board.Allocate(12, 9));
  Place(board, {{6, 5}});
  EXPECT_TRUE(board.Step());
  EXPECT_EQ(HistoryCode(board.CellAt(6, 5)), kHistoryDied);
  EXPECT_FALSE(board.Step());
}

void FillBoard(LifeBoard& board) {
  for (int32_t y = 1; y <= board.Height(); ++y) {
    for (int32_t x = 1; x <= board.Width(); ++x) board.CellAt(x, y).history = 1;
  }
}

TEST_F(LifeBoardRun, FullBoardWithDeadBorderKeepsOnlyItsCornersOneStep) {
  Resolved.Generations = 2;
  Board board;
  ASSERT_TRUE(board.Allocate(12, 9));
  FillBoard(board);
  EXPECT_TRUE(board.Step());
  EXPECT_EQ(LiveCells(board), (std::vector<Position>{{1, 1}, {12, 1}, {1, 9}, {12, 9}}));
  EXPECT_TRUE(board.Step());
  EXPECT_TRUE(LiveCells(board).empty());
  EXPECT_FALSE(board.Step());
}

TEST_F(LifeBoardRun, FullBoardWithJoinedEdgesDiesInOneStep) {
  Resolved.Generations = 2;
  Resolved.ConnectTBLR = 1;
  Board board;
  ASSERT_TRUE(board.Allocate(12, 9));
  FillBoard(board);
  EXPECT_TRUE(board.Step());
  EXPECT_TRUE(LiveCells(board).empty());
  EXPECT_FALSE(board.Step());
}

TEST_F(LifeBoardRun, BlockRunsForGenerationsThenEnds) {
  Board board;
  ASSERT_TRUE(board.Allocate(12, 9));
  Place(board, {{5, 4}, {6, 4}, {5, 5}, {6, 5}});
  EXPECT_EQ(FirstFalseStep(board, 100), 21);
  EXPECT_EQ(HistoryCode(board.CellAt(5, 4)), kHistorySurvived);

  Resolved.Generations = 0;
  ASSERT_TRUE(board.Reallocate(12, 9));
  Place(board, {{5, 4}, {6, 4}, {5, 5}, {6, 5}});
  EXPECT_FALSE(board.Step());
}

TEST_F(LifeBoardRun, BlinkerStopsCountingOnceItRepeatsItsOwnPast) {
  Board board;
  ASSERT_TRUE(board.Allocate(12, 9));
  Place(board, {{5, 5}, {6, 5}, {7, 5}});
  EXPECT_EQ(FirstFalseStep(board, 100), 36);

  Resolved.Generations = 0;
  ASSERT_TRUE(board.Reallocate(12, 9));
  Place(board, {{5, 5}, {6, 5}, {7, 5}});
  EXPECT_EQ(FirstFalseStep(board, 100), 16);
}

TEST_F(LifeBoardRun, BlinkerClassifiesBirthsDeathsAndSurvivors) {
  Board board;
  ASSERT_TRUE(board.Allocate(12, 9));
  Place(board, {{5, 5}, {6, 5}, {7, 5}});
  board.Step();
  EXPECT_EQ(HistoryCode(board.CellAt(6, 4)), kHistoryBorn);
  EXPECT_EQ(HistoryCode(board.CellAt(5, 5)), kHistoryDied);
  EXPECT_EQ(HistoryCode(board.CellAt(6, 5)), kHistorySurvived);
  EXPECT_EQ(HistoryCode(board.CellAt(1, 1)), kHistoryDeadStill);
  board.Step();
  EXPECT_EQ(board.CellAt(5, 5).history, 0b101u);
  for (int32_t y = 1; y <= 9; ++y) {
    for (int32_t x = 1; x <= 12; ++x) EXPECT_EQ(board.CellAt(x, y).neighbourCount, 0);
  }
}

const std::vector<Position> kGlider = {{2, 1}, {3, 2}, {1, 3}, {2, 3}, {3, 3}};

TEST_F(LifeBoardRun, GliderOnJoinedBoardNeverSettles) {
  Resolved.Generations = 0;
  Resolved.ConnectTBLR = 1;
  Board board;
  ASSERT_TRUE(board.Allocate(32, 24));
  Place(board, kGlider);
  EXPECT_EQ(FirstFalseStep(board, 5000), 0);
  EXPECT_EQ(LiveCells(board).size(), 5u);
}

TEST_F(LifeBoardRun, GliderRunsIntoADeadBorderAndTheRunEnds) {
  Board board;
  ASSERT_TRUE(board.Allocate(12, 9));
  Place(board, kGlider);
  const int end = FirstFalseStep(board, 1000);
  EXPECT_GT(end, 20);
  EXPECT_LT(end, 100);
}

TEST_F(LifeBoardRun, CountedBirthRestoresTheCountdown) {
  Resolved.Generations = 3;
  Board board;
  ASSERT_TRUE(board.Allocate(12, 9));
  Place(board, {{5, 5}, {6, 5}, {7, 5}});
  board.Step();
  EXPECT_EQ(board.StableCountdown(), 3);
  Place(board, {{5, 4}, {6, 4}, {5, 5}, {6, 5}});
  board.Step();
  EXPECT_EQ(board.StableCountdown(), 2);
}

// Only life 16 to 31 generations before the birth takes a birth out of the
// count; the history words are written as a past run would have left them.
TEST_F(LifeBoardRun, CountedBirthLooksSixteenToThirtyOneGenerationsBack) {
  struct Case {
    uint32_t pastHistory;
    bool counted;
  };
  const Case cases[] = {{0, true},          {1u << 14, true}, {1u << 15, false},
                        {1u << 30, false},  {1u << 31, true}, {0x7FFF0000u, false},
                        {0x00007FFEu, true}};
  Resolved.Generations = 5;
  Board board;
  ASSERT_TRUE(board.Allocate(12, 9));
  for (const Case& c : cases) {
    Resolved.Generations = 5;
    board.Seed();
    Place(board, {{4, 4}, {5, 4}, {6, 4}});
    board.CellAt(5, 3).history = c.pastHistory;
    board.CellAt(5, 5).history = c.pastHistory;
    Resolved.Generations = 9;
    EXPECT_TRUE(board.Step());
    EXPECT_EQ(HistoryCode(board.CellAt(5, 3)), kHistoryBorn);
    EXPECT_EQ(board.StableCountdown(), c.counted ? 9 : 4) << std::hex << c.pastHistory;
  }
}

}  // namespace
