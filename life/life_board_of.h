#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>

#include "life/life_board.h"

// A Life board whose cells are of type Cell, which extends LifeCell. The board
// owns the array; each element is created and destroyed as a Cell.
template <typename Cell>
class LifeBoardOf : public LifeBoard {
  static_assert(std::is_base_of_v<LifeCell, Cell>, "a board cell must extend LifeCell");

 public:
  Cell& CellAt(int32_t x, int32_t y) { return static_cast<Cell&>(LifeBoard::CellAt(x, y)); }

  // Split parents are always records of this board, hence of type Cell.
  static Cell* SplitParentOf(const Cell& cell) { return static_cast<Cell*>(cell.splitParent); }

 protected:
  bool CreateCells(size_t count) override {
    cells_.reset(new (std::nothrow) Cell[count]);
    return cells_ != nullptr;
  }
  void DestroyCells() override { cells_.reset(); }
  LifeCell& CellRecord(size_t index) override { return cells_[index]; }

 private:
  std::unique_ptr<Cell[]> cells_;
};
