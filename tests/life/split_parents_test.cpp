#include <algorithm>
#include <cstdlib>
#include <vector>

#include "life_test_support.h"

namespace {

using SplitParents = LifeBoardTest;

std::vector<int> Draws(uint32_t seed, int count) {
  SeedRandom(seed);
  std::vector<int> draws;
  for (int i = 0; i < count; ++i) draws.push_back(DrawRandom());
  SeedRandom(seed);
  return draws;
}

int SplitParentFlags(LifeBoard& board) {
  int flags = 0;
  for (int32_t y = 1; y <= board.Height(); ++y) {
    for (int32_t x = 1; x <= board.Width(); ++x) flags += board.CellAt(x, y).splitParentFlag;
  }
  return flags;
}

TEST_F(SplitParents, EachNewCellDrawsOneOfItsFormerNeighboursInOrder) {
  Board board;
  ASSERT_TRUE(board.Allocate(12, 9));
  Place(board, {{5, 4}, {5, 5}, {5, 6}});
  board.Step();
  // Links of the previous generation must not survive the choice.
  board.CellAt(1, 1).splitParent = &board.CellAt(2, 2);
  board.CellAt(2, 2).splitParentFlag = true;

  for (uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u}) {
    const std::vector<int> draws = Draws(seed, 3);
    board.ChooseSplitParents();
    const std::vector<LifeCell*> candidates = {&board.CellAt(5, 4), &board.CellAt(5, 5),
                                               &board.CellAt(5, 6)};
    EXPECT_EQ(board.CellAt(4, 5).splitParent, candidates[draws[0] % 3]);
    EXPECT_EQ(board.CellAt(6, 5).splitParent, candidates[draws[1] % 3]);
    EXPECT_EQ(DrawRandom(), draws[2]);
    EXPECT_EQ(board.CellAt(5, 5).splitParent, nullptr);
    EXPECT_EQ(board.CellAt(1, 1).splitParent, nullptr);
    EXPECT_TRUE(board.CellAt(4, 5).splitParent->splitParentFlag);
    EXPECT_TRUE(board.CellAt(6, 5).splitParent->splitParentFlag);
    EXPECT_EQ(SplitParentFlags(board), draws[0] % 3 == draws[1] % 3 ? 1 : 2);
  }
}

TEST_F(SplitParents, DrawPicksAmongAllEightNeighboursInTheirFixedOrder) {
  Board board;
  ASSERT_TRUE(board.Allocate(12, 9));
  Place(board, {});
  const std::vector<Position> order = {{4, 4}, {5, 4}, {6, 4}, {4, 5},
                                       {6, 5}, {4, 6}, {5, 6}, {6, 6}};
  for (auto [x, y] : order) board.CellAt(x, y).history = 0b10;
  board.CellAt(5, 5).history = 0b01;

  std::vector<bool> picked(8, false);
  for (uint32_t seed = 0; seed < 64; ++seed) {
    const int draw = Draws(seed, 1)[0];
    board.ChooseSplitParents();
    const auto [x, y] = order[draw % 8];
    EXPECT_EQ(board.CellAt(5, 5).splitParent, &board.CellAt(x, y)) << "draw " << draw;
    EXPECT_EQ(SplitParentFlags(board), 1);
    picked[draw % 8] = true;
  }
  EXPECT_EQ(std::count(picked.begin(), picked.end(), true), 8);
}

TEST_F(SplitParents, CandidatesAcrossJoinedEdges) {
  Resolved.ConnectTBLR = 1;
  Board board;
  ASSERT_TRUE(board.Allocate(12, 9));
  Place(board, {{1, 4}, {1, 5}, {1, 6}});
  board.Step();
  const std::vector<int> draws = Draws(4, 2);
  board.ChooseSplitParents();
  // The cell born beyond the left edge finds its parents in column 1, in the
  // order of its right-hand neighbours.
  const std::vector<LifeCell*> candidates = {&board.CellAt(1, 4), &board.CellAt(1, 5),
                                             &board.CellAt(1, 6)};
  EXPECT_EQ(board.CellAt(2, 5).splitParent, candidates[draws[0] % 3]);
  EXPECT_EQ(board.CellAt(12, 5).splitParent, candidates[draws[1] % 3]);
}

TEST_F(SplitParents, CellsOfAFreshBoardAppearInPlaceWithoutDraws) {
  Board board;
  ASSERT_TRUE(board.Allocate(32, 24));
  ASSERT_FALSE(LiveCells(board).empty());
  const int next = Draws(6, 1)[0];
  board.ChooseSplitParents();
  EXPECT_EQ(DrawRandom(), next);
  EXPECT_EQ(SplitParentFlags(board), 0);
  for (auto [x, y] : LiveCells(board)) EXPECT_EQ(board.CellAt(x, y).splitParent, nullptr);
}

TEST_F(SplitParents, ReseededCellsSplitFromCellsAliveInThePreviousRun) {
  Board board;
  ASSERT_TRUE(board.Allocate(12, 9));
  for (int32_t y = 1; y <= 9; ++y) {
    for (int32_t x = 1; x <= 12; ++x) board.CellAt(x, y).history = 0b10;
  }
  board.Seed();

  int withCandidates = 0;
  for (auto [x, y] : LiveCells(board)) {
    for (int32_t dy = -1; dy <= 1; ++dy) {
      bool found = false;
      for (int32_t dx = -1; dx <= 1; ++dx) {
        found = found || (board.CellAt(x + dx, y + dy).history & 2) != 0;
      }
      if (found) {
        ++withCandidates;
        break;
      }
    }
  }
  ASSERT_GT(withCandidates, 0);

  const std::vector<int> draws = Draws(8, withCandidates + 1);
  board.ChooseSplitParents();
  EXPECT_EQ(DrawRandom(), draws[withCandidates]);
  int linked = 0;
  for (auto [x, y] : LiveCells(board)) {
    const LifeCell* parent = board.CellAt(x, y).splitParent;
    if (!parent) continue;
    ++linked;
    EXPECT_EQ(parent->history, 0b10u);
    EXPECT_LE(std::abs(parent->x - x), 1);
    EXPECT_LE(std::abs(parent->y - y), 1);
    EXPECT_TRUE(parent->splitParentFlag);
  }
  EXPECT_EQ(linked, withCandidates);
}

}  // namespace
