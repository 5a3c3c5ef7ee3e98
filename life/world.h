#pragma once
#include <cstdint>

#include "life/life_board_of.h"
#include "life/scene_cell.h"
#include "life/split_step_count.h"
#include "platform/ref.h"
#include "platform/rm/frame.h"
#include "platform/rm/mesh.h"
#include "platform/rm/mesh_builder.h"
#include "stage/stage.h"

// Angles are computed with this value of pi, not a more precise one: the
// animation's periods and the colour cycle are defined by it.
inline constexpr double kPi = 3.14159265359;

// Every shown cell spins about the board's y axis by this much per frame: a
// single-precision value slightly below pi / 60.
inline constexpr float kCellSpinAngle = 0.0523593351f;

// The animation phase and each cell's colour phase start over here: 25 whole
// periods of the three colour terms together.
inline constexpr double kPhaseLimit = 1750.0 * kPi;

// Shown when the object file cannot be loaded.
inline constexpr char kXFileLoadFailedMessage[] = ".X ファイルのロードに失敗しました。";

// The Game of Life as a 3-D scene: at once the Life board, whose cells carry
// frames, and the Stage that draws them. It adds the board frame that carries
// every shown cell, the split meshes made from the object file, and the state
// of the per-frame animation. Made with new and deleted through either base.
//
// Order of use: construct; the Stage's Create and SetUpScene; InitBoard;
// BuildScene; then generations (see life/generation.h). Between runs either
// Seed (which is Restart) or Resize.
class World : public LifeBoardOf<SceneCell>, public Stage {
 public:
  World();
  ~World() override;

  // False, and nothing changes, when the board frame already exists.
  bool InitBoard(int32_t width, int32_t height);
  // False when the object file does not load; the window then says so.
  bool BuildScene();
  // New board dimensions at the end of a run. The camera stays, so the board
  // moves away from it by its new width.
  bool Resize(int32_t width, int32_t height) override;

  // The board's seeding for the World: Restart.
  void Seed() override { Restart(); }
  // Sets the board's roll for the run, then seeds the board.
  void Restart();

  // The work of frame i (1 to the split-step count) on one cell.
  void AnimateCell(SceneCell& cell, uint32_t frame);
  void HideAllCells();
  void MoveCamera();
  void AdvanceRoll();
  void AdvancePhase();

  // The parts of AnimateCell.
  void AnimateBirth(SceneCell& cell, SceneCell* parent, float t);
  void AnimateDeath(SceneCell& cell, uint32_t frame);
  void HideCell(SceneCell& cell);
  // With joined edges a parent on the far edge is taken as the neighbour just
  // across the near edge, so the copy travels in from outside the board.
  void UnwrapParent(int32_t x, int32_t y, int32_t& px, int32_t& py) const;
  static double WaveHeight(double phase, double dx, double dy);
  void ApplyCellColour(SceneCell& cell);

  double rollAngle = 0;
  double boardCentreX = 0;
  double boardCentreY = 0;
  double animationPhase = 0;
  Ref<RMMesh> splitMeshes[kMaxSplitSteps + 1];
  Ref<RMFrame> boardFrame;
  Ref<RMMeshBuilder> meshBuilder;

 private:
  void SetBoardCentre(int32_t width, int32_t height);
  void ShowSplitMesh(SceneCell& cell, uint32_t index);
  void PlaceOnWave(SceneCell& cell);
  bool LoadObject();
  bool LoadTexture();
  void MakeSplitMeshes(bool wrapTexture);
};
