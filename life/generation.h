#pragma once
#include <cstdint>

class World;

// What the caller of a generation adds around the system's own steps. The
// saver's Render thread paces frames, waits on its stop event, draws the
// frame-rate overlay, follows the preview window and counts frames here;
// quellar-render writes pictures and prints boards. Every hook has a default
// that adds nothing, so a caller overrides only what it needs.
//
// One generation, with the hooks in their places:
//
//   FramesStarting()                      before anything of the generation
//   ChooseSplitParents
//   for frame i = 1 .. split-step count (at least 1):
//     FrameStarting(i)      -> false ends  pacing, overlay, stop wait
//     AnimateCell for every cell, rows y = 1..H outer, columns x = 1..W inner
//     CellsAnimated()                     preview window tracking
//     MoveCamera
//     DrawFrame()           -> false ends  the Stage's RenderFrame by default
//     AdvanceRoll, AdvancePhase
//     FrameShown()                        frame counting
//   Step
//   StepTaken(goesOn)                     the board as the step left it
//   if the run ended:
//     HideAllCells, ReresolveOptions (which restarts or resizes the World)
//     RunEnded()                          the new board is seeded
//
// Hooks run on the thread that runs the generation and may use the World.
class GenerationHooks {
 public:
  virtual ~GenerationHooks() = default;

  virtual void FramesStarting(World& world) { (void)world; }
  // Before the cells of frame `frame` move. False ends the generation at
  // once, before anything of the frame is done, and ends the loop.
  virtual bool FrameStarting(World& world, uint32_t frame) {
    (void)world;
    (void)frame;
    return true;
  }
  virtual void CellsAnimated(World& world) { (void)world; }
  // Puts the frame on screen. False (the Stage can no longer present) ends the
  // generation before the roll and phase advance, and ends the loop.
  virtual bool DrawFrame(World& world);
  virtual void FrameShown(World& world) { (void)world; }
  // `goesOn` is Step's result: false when this step ended the run.
  virtual void StepTaken(World& world, bool goesOn) {
    (void)world;
    (void)goesOn;
  }
  virtual void RunEnded(World& world) { (void)world; }
};

// The split parents and every frame of one generation. True when all frames
// were shown; false when a hook ended it.
bool RunFrames(World& world, GenerationHooks& hooks);

// RunFrames, then the step; at a run's end the cells are hidden and the
// options drawn again, which seeds the next board. False ends the loop.
bool RunGeneration(World& world, GenerationHooks& hooks);
