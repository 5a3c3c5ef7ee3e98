#pragma once
#include <cstdint>

#include "platform/sys/types.h"
#include "settings/run_board.h"

// The options in force for the current run, random choices settled. Everything
// that animates or renders reads this record, never the Settings record.
struct ResolvedOptionsRecord {
  uint32_t Generations;
  int32_t FrameInterval;  // milliseconds; 0 means no wait
  int32_t Roll;           // 0, 1 or 2
  int32_t Colors;         // 0, 1 or 2
  int32_t Wave;           // 0, 1 or 2
  int32_t BoardWidth;
  int32_t BoardHeight;
  uint32_t LocusOfSplit;
  RECT WindowRect;
  int32_t ConnectTBLR;    // 0 or 1
  bool PreviewMode;
  int32_t CameraMove;     // 0 or 1
  bool TextureFlag;
  uint32_t ScreenMode;
  uint32_t ScreenColor;
  uint32_t Rendering;
  uint32_t FPS;
  float XScale;
  // These point into the Settings record; they are not copies.
  const char* XFileName;
  const char* TextureName;
  const char* DDDriverName;
  const char* D3DDriverName;
};

extern ResolvedOptionsRecord Resolved;

// The frame interval of a speed step when the speed is fixed (step 20: no wait).
int32_t FrameIntervalForStep(uint32_t step);

// Fills the record once while the saver window is created; the caller passes
// the window's rectangle.
void ResolveOptions(const RECT& windowRect);

// Copies the display options (colour depth, rendering, object, texture, scale,
// drivers) from the settings as they stand; the saver and the dialog's object
// preview both draw from them.
void ResolveDisplayOptions();

// Draws the random choices again at the end of a run, then seeds the board
// anew or resizes it when the size changed.
void ReresolveOptions(RunBoard& board);
