#pragma once
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "life/life_board_of.h"
#include "settings/random_generator.h"
#include "settings/resolved_options.h"

using Board = LifeBoardOf<LifeCell>;
using Position = std::pair<int32_t, int32_t>;

// Every test starts from the same options and generator and leaves the
// process-wide options as it found them.
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

// Turns an allocated board into a fresh one holding only the given live cells.
inline void Place(LifeBoard& board, const std::vector<Position>& live) {
  for (int32_t y = 1; y <= board.Height(); ++y) {
    for (int32_t x = 1; x <= board.Width(); ++x) board.CellAt(x, y).history = 0;
  }
  for (auto [x, y] : live) board.CellAt(x, y).history = 1;
}

inline std::vector<Position> LiveCells(LifeBoard& board) {
  std::vector<Position> live;
  for (int32_t y = 1; y <= board.Height(); ++y) {
    for (int32_t x = 1; x <= board.Width(); ++x) {
      if (board.CellAt(x, y).history & 1) live.emplace_back(x, y);
    }
  }
  return live;
}

// The number of the first step that returns false, or 0 if none within limit.
inline int FirstFalseStep(LifeBoard& board, int limit) {
  for (int step = 1; step <= limit; ++step) {
    if (!board.Step()) return step;
  }
  return 0;
}
