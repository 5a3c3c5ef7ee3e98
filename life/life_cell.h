#pragma once
#include <cstdint>

// The Game of Life part of every cell record. Cell types of derived boards
// extend it, so a board can hand out its own richer cells as Life cells.
struct LifeCell {
  int32_t x = 0;
  int32_t y = 0;
  // Bit 0: alive now; bit k: alive k generations ago.
  uint32_t history = 0;
  // Only meaningful inside Step; interior cells hold 0 between steps.
  uint8_t neighbourCount = 0;
  // For a cell born in this generation, the neighbour its object splits from.
  LifeCell* splitParent = nullptr;
  // Chosen as split parent by at least one cell born in this generation.
  bool splitParentFlag = false;
};

// The two low history bits classify a cell for the current generation; the
// cell animation depends on exactly these codes.
inline constexpr uint32_t kHistoryDeadStill = 0;
inline constexpr uint32_t kHistoryBorn = 1;
inline constexpr uint32_t kHistoryDied = 2;
inline constexpr uint32_t kHistorySurvived = 3;

inline uint32_t HistoryCode(const LifeCell& cell) {
  return cell.history & 3;
}
