#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "life/life_cell.h"
#include "settings/run_board.h"

// A draw below this leaves a cell dead when the board is seeded, so about a
// quarter of the cells start alive.
inline constexpr int kSeedDeadBelow = 24574;

// Births in a cell that was dead in each of these generations back count as
// change; anything repeating within 31 generations stops counting.
inline constexpr uint32_t kCountedBirthHistoryMask = 0xFFFF0000u;

// The Game of Life board: a grid with a dead border or joined edges, the rule,
// 32 generations of history per cell, the countdown that ends a settled run and
// the choice of split parents for new cells.
//
// The board works on Life cells but does not own them: a derived board (see
// LifeBoardOf) owns an array of its own cell type and exposes each record as a
// Life cell. Records are laid out with a one-cell border, W + 1 apart per row,
// so every neighbour of an interior cell is a record and needs no bounds test.
class LifeBoard : public RunBoard {
 public:
  LifeBoard() = default;
  LifeBoard(const LifeBoard&) = delete;
  LifeBoard& operator=(const LifeBoard&) = delete;
  ~LifeBoard() override;

  // False, and nothing changes, when the board already has cells or they
  // cannot be made. Seeds the new cells through the virtual Seed.
  bool Allocate(int32_t width, int32_t height);
  bool Reallocate(int32_t width, int32_t height);

  // Fills the board at random. Cells seeded dead keep their older history, so a
  // re-seeded board still remembers the previous run.
  void Seed() override;

  // The end of a run calls this when the board size changed.
  bool Resize(int32_t width, int32_t height) override;

  // Computes the next generation; false when the run is over.
  bool Step();

  // Maps a border position to the opposite edge when the edges are joined.
  void Wrap(int32_t& x, int32_t& y) const;

  // The record at (x, y) after Wrap; x and y must lie within the border.
  LifeCell& CellAt(int32_t x, int32_t y);

  // Once per generation, before its frames: every new cell picks a neighbour
  // that was alive one generation ago to split from.
  void ChooseSplitParents();

  bool HasCells() const { return records_ != nullptr; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int32_t StableCountdown() const { return stableCountdown_; }

 protected:
  // The derived board creates, owns and destroys the array of its cell type.
  virtual bool CreateCells(size_t count) = 0;
  virtual void DestroyCells() = 0;
  virtual LifeCell& CellRecord(size_t index) = 0;

 private:
  size_t IndexOf(int32_t x, int32_t y) const {
    return static_cast<size_t>(x) + static_cast<size_t>(stride_) * static_cast<size_t>(y);
  }
  LifeCell& Record(int32_t x, int32_t y) const { return *records_[IndexOf(x, y)]; }
  LifeCell& Neighbour(int32_t x, int32_t y, int direction) const;
  bool CountNeighbours();
  void UpdateCells();
  void UpdateCell(LifeCell& cell);
  void ChooseSplitParent(LifeCell& cell, int32_t x, int32_t y);
  void ReleaseCells();

  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t stride_ = 0;
  int32_t bottomRow_ = 0;
  // Points into the derived board's array, one entry per record.
  std::unique_ptr<LifeCell*[]> records_;
  bool countedBirth_ = false;
  // Goes negative after the step that ends a settled run.
  int32_t stableCountdown_ = 0;
};
