#pragma once
#include <cstdint>

// What the end of a run needs of the board: a new seeding on the same cells, or
// new dimensions (which seed as well). The Life board derives from it and the
// World overrides both.
class RunBoard {
public:
  virtual ~RunBoard() = default;
  virtual void Seed() = 0;
  virtual bool Resize(int32_t width, int32_t height) = 0;
};
