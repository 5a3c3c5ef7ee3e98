#pragma once
#include <cstdint>

#include "life/life_cell.h"
#include "platform/ref.h"
#include "platform/rm/frame.h"
#include "platform/rm/mesh.h"

// One cell of the World's board: the Game of Life record plus the 3-D frame
// that shows the cell's object. The frame is made once with the cell and reused
// for every life of the cell; it hangs under the board frame only while shown.
struct SceneCell : LifeCell {
  // Cells are made in whole arrays, so they take the RM object from the
  // process-wide reference that the Stage published, not from an argument.
  SceneCell();
  ~SceneCell();
  SceneCell(const SceneCell&) = delete;
  SceneCell& operator=(const SceneCell&) = delete;

  Ref<RMFrame> frame;
  // The split mesh currently on the frame; the World owns the meshes.
  RMMesh* visual = nullptr;
  // Angle of the cell's own colour when every cell cycles on its own.
  double colourPhase = 0;
  bool inScene = false;
};
