#include "life/generation.h"

#include "life/split_step_count.h"
#include "life/world.h"
#include "settings/resolved_options.h"

bool GenerationHooks::DrawFrame(World& world) {
  return world.RenderFrame();
}

namespace {

void AnimateCells(World& world, uint32_t frame) {
  for (int32_t y = 1; y <= world.Height(); ++y) {
    for (int32_t x = 1; x <= world.Width(); ++x) world.AnimateCell(world.CellAt(x, y), frame);
  }
}

bool RunFrame(World& world, GenerationHooks& hooks, uint32_t frame) {
  if (!hooks.FrameStarting(world, frame)) return false;
  AnimateCells(world, frame);
  hooks.CellsAnimated(world);
  world.MoveCamera();
  if (!hooks.DrawFrame(world)) return false;
  world.AdvanceRoll();
  world.AdvancePhase();
  hooks.FrameShown(world);
  return true;
}

}  // namespace

bool RunFrames(World& world, GenerationHooks& hooks) {
  // A board whose cells could not be made again after a resize has nothing
  // to show or step; the caller starts over instead.
  if (!world.HasCells()) return false;
  hooks.FramesStarting(world);
  world.ChooseSplitParents();
  const uint32_t frames = SplitStepCount();
  for (uint32_t frame = 1; frame <= frames; ++frame) {
    if (!RunFrame(world, hooks, frame)) return false;
  }
  return true;
}

bool RunGeneration(World& world, GenerationHooks& hooks) {
  if (!RunFrames(world, hooks)) return false;
  const bool goesOn = world.Step();
  hooks.StepTaken(world, goesOn);
  if (goesOn) return true;
  world.HideAllCells();
  ReresolveOptions(world);
  hooks.RunEnded(world);
  return true;
}
