#include <cmath>

#include "life/world.h"
#include "settings/resolved_options.h"

// Per-frame work on the cells: births travel out of their split parent,
// deaths shrink through the split meshes, survivors ride the wave, and every
// living cell takes its colour for the frame.

void World::AnimateCell(SceneCell& cell, uint32_t frame) {
  switch (HistoryCode(cell)) {
    case kHistoryBorn: {
      const float t = static_cast<float>(frame) / static_cast<float>(SplitStepCount());
      AnimateBirth(cell, SplitParentOf(cell), t);
      break;
    }
    case kHistoryDied:
      // A split parent's object has become the travelling copy.
      if (cell.splitParentFlag) {
        HideCell(cell);
      } else {
        AnimateDeath(cell, frame);
      }
      break;
    default:
      if (Resolved.Wave != 0) PlaceOnWave(cell);
      break;
  }
  if (!Resolved.TextureFlag) ApplyCellColour(cell);
}

void World::AnimateBirth(SceneCell& cell, SceneCell* parent, float t) {
  double x = cell.x;
  double y = cell.y;
  if (parent) {
    int32_t px = parent->x;
    int32_t py = parent->y;
    if (Resolved.ConnectTBLR) UnwrapParent(cell.x, cell.y, px, py);
    x = cell.x - (cell.x - px) * (1.0 - t);
    y = cell.y - (cell.y - py) * (1.0 - t);
  }
  const double z = WaveHeight(animationPhase, x - boardCentreX, y - boardCentreY);
  if (!cell.frame) return;
  if (!cell.inScene) {
    ShowSplitMesh(cell, 0);
    if (boardFrame) boardFrame->AddChild(cell.frame);
    if (parent && parent->frame) {
      // The copy leaves turned as its parent is; a frame that has lived
      // before carries its old spin, which this catches up four times.
      D3DVECTOR dir, up;
      parent->frame->GetOrientation(boardFrame, &dir, &up);
      cell.frame->SetOrientation(boardFrame, dir.x, dir.y, dir.z, up.x, up.y, up.z);
      cell.frame->Move(4.0f);
    }
    cell.frame->SetRotation(boardFrame, 0, 1, 0, kCellSpinAngle);
    cell.inScene = true;
    if (parent) cell.colourPhase = parent->colourPhase;
  }
  cell.frame->SetPosition(boardFrame, static_cast<float>(x - boardCentreX),
                          static_cast<float>(y - boardCentreY), static_cast<float>(z));
}

void World::AnimateDeath(SceneCell& cell, uint32_t frame) {
  if (frame < SplitStepCount()) {
    ShowSplitMesh(cell, frame);
    if (Resolved.Wave != 0) PlaceOnWave(cell);
    return;
  }
  if (cell.frame && cell.visual) cell.frame->DeleteVisual(Ref<RMVisual>(cell.visual));
  cell.visual = nullptr;
  HideCell(cell);
}

// Swaps the frame's visual for split mesh `index`, if that mesh was made.
void World::ShowSplitMesh(SceneCell& cell, uint32_t index) {
  if (!cell.frame) return;
  if (cell.visual) cell.frame->DeleteVisual(Ref<RMVisual>(cell.visual));
  RMMesh* mesh = splitMeshes[index].Get();
  if (mesh) cell.frame->AddVisual(Ref<RMVisual>(mesh));
  cell.visual = mesh;
}

void World::PlaceOnWave(SceneCell& cell) {
  if (!cell.frame) return;
  const double dx = cell.x - boardCentreX;
  const double dy = cell.y - boardCentreY;
  cell.frame->SetPosition(boardFrame, static_cast<float>(dx), static_cast<float>(dy),
                          static_cast<float>(WaveHeight(animationPhase, dx, dy)));
}

void World::HideCell(SceneCell& cell) {
  if (!cell.inScene) return;
  if (boardFrame && cell.frame) boardFrame->DeleteChild(cell.frame);
  cell.inScene = false;
}

void World::HideAllCells() {
  if (!HasCells()) return;
  for (int32_t y = 1; y <= Height(); ++y) {
    for (int32_t x = 1; x <= Width(); ++x) HideCell(CellAt(x, y));
  }
}

void World::UnwrapParent(int32_t x, int32_t y, int32_t& px, int32_t& py) const {
  if (std::abs(x - px) > 1) px = (px == 1) ? Width() + 1 : 0;
  if (std::abs(y - py) > 1) py = (py == 1) ? Height() + 1 : 0;
}

double World::WaveHeight(double phase, double dx, double dy) {
  switch (Resolved.Wave) {
    case 1:
      return std::sin(1.5 * phase + 0.5 * dx);
    case 2:
      return std::sin(0.5 * std::sqrt(dx * dx + dy * dy) + 1.5 * phase);
    default:
      return 0;
  }
}

void World::ApplyCellColour(SceneCell& cell) {
  if (!(cell.history & 1)) return;  // a dying cell keeps its last colour
  double a = animationPhase;
  if (Resolved.Colors == 1) a = animationPhase - 0.1 * (cell.x + cell.y);
  if (Resolved.Colors == 2) a = cell.colourPhase;
  if (cell.frame) {
    cell.frame->SetColorRGB(static_cast<float>(0.4 * (1.5 + std::cos(a))),
                            static_cast<float>(0.4 * (1.5 + std::cos(0.4 * a))),
                            static_cast<float>(0.4 * (1.5 + std::cos(2 * a / 7))));
  }
  if (Resolved.Colors == 2) {
    cell.colourPhase += 5 * kPi / 180;
    if (cell.colourPhase > kPhaseLimit) cell.colourPhase = 0;
  }
}
