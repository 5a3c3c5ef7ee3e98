#include "life/life_board.h"

#include <cassert>
#include <new>

#include "settings/random_generator.h"
#include "settings/resolved_options.h"

namespace {

// The eight neighbours, in the order that fixes which candidate a draw picks.
struct Offset {
  int32_t dx;
  int32_t dy;
};
constexpr Offset kNeighbourOffsets[8] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0},
                                         {1, 0},   {-1, 1}, {0, 1},  {1, 1}};

constexpr uint32_t kAliveNow = 1u;
constexpr uint32_t kAliveBefore = 2u;

}  // namespace

LifeBoard::~LifeBoard() = default;

bool LifeBoard::Allocate(int32_t width, int32_t height) {
  if (HasCells() || width < 1 || height < 1) return false;
  const size_t stride = static_cast<size_t>(width) + 1;
  const size_t count = stride * (static_cast<size_t>(height) + 2) + 1;
  std::unique_ptr<LifeCell*[]> records(new (std::nothrow) LifeCell*[count]);
  if (!records || !CreateCells(count)) return false;
  for (size_t i = 0; i < count; ++i) records[i] = &CellRecord(i);

  width_ = width;
  height_ = height;
  stride_ = width + 1;
  bottomRow_ = height + 1;
  records_ = std::move(records);
  Seed();
  return true;
}

bool LifeBoard::Reallocate(int32_t width, int32_t height) {
  ReleaseCells();
  return Allocate(width, height);
}

bool LifeBoard::Resize(int32_t width, int32_t height) {
  return Reallocate(width, height);
}

void LifeBoard::ReleaseCells() {
  records_.reset();
  DestroyCells();
}

void LifeBoard::Seed() {
  if (!HasCells()) return;
  stableCountdown_ = static_cast<int32_t>(Resolved.Generations);
  for (int32_t y = 1; y <= height_; ++y) {
    for (int32_t x = 1; x <= width_; ++x) {
      LifeCell& cell = Record(x, y);
      cell.x = x;
      cell.y = y;
      if (DrawRandom() < kSeedDeadBelow) {
        cell.history &= ~kAliveNow;
      } else {
        cell.history = kAliveNow;
      }
    }
  }
}

void LifeBoard::Wrap(int32_t& x, int32_t& y) const {
  if (!Resolved.ConnectTBLR) return;
  if (x == 0) {
    x = width_;
  } else if (x == width_ + 1) {
    x = 1;
  }
  if (y == 0) {
    y = height_;
  } else if (y == bottomRow_) {
    y = 1;
  }
}

LifeCell& LifeBoard::CellAt(int32_t x, int32_t y) {
  Wrap(x, y);
  assert(HasCells() && x >= 0 && x <= width_ + 1 && y >= 0 && y <= bottomRow_);
  return Record(x, y);
}

LifeCell& LifeBoard::Neighbour(int32_t x, int32_t y, int direction) const {
  x += kNeighbourOffsets[direction].dx;
  y += kNeighbourOffsets[direction].dy;
  Wrap(x, y);
  return Record(x, y);
}

bool LifeBoard::Step() {
  if (!HasCells()) return false;
  countedBirth_ = false;
  const bool anyLive = CountNeighbours();
  UpdateCells();
  if (!anyLive) return false;
  if (countedBirth_) {
    stableCountdown_ = static_cast<int32_t>(Resolved.Generations);
    return true;
  }
  const int32_t before = stableCountdown_;
  // Unsigned so that a countdown that keeps running below zero stays defined.
  stableCountdown_ = static_cast<int32_t>(static_cast<uint32_t>(before) - 1u);
  return before != 0;
}

bool LifeBoard::CountNeighbours() {
  bool anyLive = false;
  for (int32_t y = 1; y <= height_; ++y) {
    for (int32_t x = 1; x <= width_; ++x) {
      if (!(Record(x, y).history & kAliveNow)) continue;
      anyLive = true;
      // Without joined edges the border records collect counts nobody reads.
      for (int direction = 0; direction < 8; ++direction)
        ++Neighbour(x, y, direction).neighbourCount;
    }
  }
  return anyLive;
}

void LifeBoard::UpdateCells() {
  for (int32_t y = 1; y <= height_; ++y) {
    for (int32_t x = 1; x <= width_; ++x) UpdateCell(Record(x, y));
  }
}

void LifeBoard::UpdateCell(LifeCell& cell) {
  uint32_t history = (cell.history << 1) | (cell.history & kAliveNow);
  switch (cell.neighbourCount) {
    case 2:
      break;
    case 3:
      if (!(history & kAliveNow)) {
        if ((history & kCountedBirthHistoryMask) == 0) countedBirth_ = true;
        history |= kAliveNow;
      }
      break;
    default:
      history &= ~kAliveNow;
      break;
  }
  cell.history = history;
  cell.neighbourCount = 0;
}

void LifeBoard::ChooseSplitParents() {
  if (!HasCells()) return;
  for (int32_t y = 1; y <= height_; ++y) {
    for (int32_t x = 1; x <= width_; ++x) {
      LifeCell& cell = Record(x, y);
      cell.splitParent = nullptr;
      cell.splitParentFlag = false;
    }
  }
  for (int32_t y = 1; y <= height_; ++y) {
    for (int32_t x = 1; x <= width_; ++x) {
      LifeCell& cell = Record(x, y);
      if (HistoryCode(cell) == kHistoryBorn) ChooseSplitParent(cell, x, y);
    }
  }
}

void LifeBoard::ChooseSplitParent(LifeCell& cell, int32_t x, int32_t y) {
  LifeCell* candidates[8];
  int count = 0;
  for (int direction = 0; direction < 8; ++direction) {
    LifeCell& neighbour = Neighbour(x, y, direction);
    if (neighbour.history & kAliveBefore) candidates[count++] = &neighbour;
  }
  // A cell with nobody to split from appears in place and costs no draw.
  if (count == 0) return;
  LifeCell* parent = candidates[DrawRandom() % count];
  cell.splitParent = parent;
  parent->splitParentFlag = true;
}
