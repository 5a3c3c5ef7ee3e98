#pragma once
#include <cstdint>

#include "platform/sys/types.h"

// Every user option, named after its value in the settings key.
struct SettingsRecord {
  int32_t FixedSpeed;      // 0 fixed, 1 random speed for each run
  uint32_t Speed;          // step 0 (slowest) to 20 (fastest)
  int32_t Size;            // 0 small, 1 middle, 2 big, 3 random
  uint32_t Generations;    // start of the stable countdown
  int32_t ConnectTBLR;     // 0 off, 1 on, 2 random
  int32_t Colors;          // 0 single, 1 gradation, 2 multiple, 3 random
  int32_t Roll;            // 0 none, 1 spin, 2 spin about a turning axis, 3 random
  int32_t CameraMove;      // 0 off, 1 on, 2 random
  int32_t Wave;            // 0 off, 1 parallel, 2 ripple, 3 random
  uint32_t LocusOfSplit;   // frames per generation, 1 to 9
  uint32_t ScreenMode;     // 0 window, 1 640x480, 2 800x600, 3 1024x768
  uint32_t ScreenColor;    // 0 8-bit, 1 16-bit, 2 24-bit, 3 32-bit
  uint32_t Rendering;      // 0 wireframe, 1 flat, 2 Gouraud
  uint32_t FPS;            // non-zero measures the frame rate; never written by us
  float XScale;
  char XFileName[260];
  char TextureName[260];
  char DDDriverName[80];
  char D3DDriverName[80];
  bool TextureFlag;        // kept by the configuration dialog only; not stored
};

extern SettingsRecord Settings;

// The two texture choices that are not files.
inline constexpr char kNoTextureName[] = "なし(グラデーション)";
inline constexpr char kXFileTextureName[] = "Xﾌｧｲﾙで指定された画像";

inline constexpr char kSettingsKeyName[] = "Software\\Varune\\Quellar\\Settings";
inline constexpr char kInstanceMutexName[] = "QuellarMutex";

// Values of GetPlatformClass.
inline constexpr int kPlatformWin32s = 0;
inline constexpr int kPlatformWindows9x = 1;   // also every NT but NT 4
inline constexpr int kPlatformWindowsNT4 = 2;

// Texts of the program's own string table, for the configuration dialog's help.
inline constexpr int kCaptionStringSize = 40;
inline constexpr int kHelpFileStringSize = 13;
inline constexpr int kHelpFailureStringSize = 255;
extern char ProgramCaption[kCaptionStringSize];          // string 1034
extern char ProgramHelpFile[kHelpFileStringSize];        // string 1009
extern char ProgramHelpFailure[kHelpFailureStringSize];  // string 1008

// Sets the defaults, then reads whatever the settings key holds.
void LoadSettings();

// Writes the record back (FPS excepted). Silent when the key cannot be made.
void SaveSettings();

// 2 on NT 4, 1 on any other NT and on Windows 95/98, 0 on Win32s.
int GetPlatformClass();

void LoadProgramStrings();

// False when another saver or configuration dialog already holds the instance
// mutex. The handle is kept either way; ReleaseInstanceMutex lets it go.
bool AcquireInstanceMutex();
void ReleaseInstanceMutex();
// Inside XScreenSaver every monitor has a window and a copy of the saver of
// its own: the instance mutex then keeps one saver per window.
void ScopeInstanceMutexToWindow(HWND window);
