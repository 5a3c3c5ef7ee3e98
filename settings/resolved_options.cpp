#include "settings/resolved_options.h"

#include <cmath>
#include <cstring>

#include "platform/sys/command_line.h"
#include "settings/random_generator.h"
#include "settings/settings.h"

ResolvedOptionsRecord Resolved;

namespace {

constexpr uint32_t kFastestStep = 20;
constexpr int32_t kRandomSpeedDivisor = 1638;

struct BoardSize {
  int32_t width;
  int32_t height;
};
constexpr BoardSize kBoardSizes[] = {{32, 24}, {20, 15}, {12, 9}};
constexpr int32_t kMiddleSize = 1;

// Square root of the draw: fast steps come up far more often than slow ones.
int32_t RandomFrameInterval() {
  const double r = DrawRandom();
  const int32_t n = int32_t(32767.0 * std::sqrt(r / 32767.0));
  const int32_t step = n / kRandomSpeedDivisor;
  return int32_t(2000.0 * std::pow(0.75, step));
}

int32_t ThreeWay(int32_t code) { return code == 3 ? DrawRandom() % 3 : code; }
int32_t TwoWay(int32_t code) { return code == 2 ? DrawRandom() % 2 : code; }

void ResolveSpeed() {
  Resolved.FrameInterval =
      Settings.FixedSpeed == 1 ? RandomFrameInterval() : FrameIntervalForStep(Settings.Speed);
}

void ResolveRoll() { Resolved.Roll = ThreeWay(Settings.Roll); }
void ResolveColors() { Resolved.Colors = ThreeWay(Settings.Colors); }
void ResolveWave() { Resolved.Wave = ThreeWay(Settings.Wave); }
void ResolveConnection() { Resolved.ConnectTBLR = TwoWay(Settings.ConnectTBLR); }
void ResolveCamera() { Resolved.CameraMove = TwoWay(Settings.CameraMove); }

void ResolveSize() {
  int32_t code = ThreeWay(Settings.Size);
  if (code < 0 || code > 2) code = kMiddleSize;
  Resolved.BoardWidth = kBoardSizes[code].width;
  Resolved.BoardHeight = kBoardSizes[code].height;
}

bool CommandLineAsksForPreview() {
  const char* line = GetCommandLineA();
  for (const char* c = line; c[0] && c[1] && c[2]; ++c) {
    const char letter = c[2];
    if (c[0] == ' ' && c[1] == '/' &&
        (letter == 'p' || letter == 'P' || letter == 'l' || letter == 'L')) {
      return true;
    }
  }
  return false;
}

}  // namespace

int32_t FrameIntervalForStep(uint32_t step) {
  if (step == kFastestStep) return 0;
  return int32_t(2000.0 * std::pow(0.75, double(step)));
}

void ResolveDisplayOptions() {
  Resolved.ScreenColor = Settings.ScreenColor;
  Resolved.Rendering = Settings.Rendering;
  Resolved.XScale = Settings.XScale;
  Resolved.XFileName = Settings.XFileName;
  Resolved.TextureName = Settings.TextureName;
  Resolved.DDDriverName = Settings.DDDriverName;
  Resolved.D3DDriverName = Settings.D3DDriverName;
}

void ResolveOptions(const RECT& windowRect) {
  Resolved.WindowRect = windowRect;
  Resolved.Generations = Settings.Generations;
  Resolved.LocusOfSplit = Settings.LocusOfSplit;
  Resolved.FPS = Settings.FPS;

  ResolveSpeed();
  ResolveRoll();
  ResolveColors();
  ResolveConnection();
  ResolveSize();
  ResolveCamera();
  ResolveWave();

  Resolved.ScreenMode = Settings.ScreenMode;
  ResolveDisplayOptions();

  Resolved.TextureFlag = std::strcmp(Settings.TextureName, kNoTextureName) != 0;
  if (GetPlatformClass() == kPlatformWindowsNT4) Resolved.ScreenMode = 0;
  Resolved.PreviewMode = CommandLineAsksForPreview();
  if (Resolved.PreviewMode) Resolved.ScreenMode = 0;
}

void ReresolveOptions(RunBoard& board) {
  ResolveSpeed();
  ResolveRoll();
  ResolveColors();
  ResolveConnection();
  ResolveCamera();
  ResolveWave();

  const int32_t oldWidth = Resolved.BoardWidth;
  const int32_t oldHeight = Resolved.BoardHeight;
  ResolveSize();
  if (Resolved.BoardWidth == oldWidth && Resolved.BoardHeight == oldHeight) {
    board.Seed();
  } else {
    board.Resize(Resolved.BoardWidth, Resolved.BoardHeight);
  }
}
