#pragma once
#include <atomic>
#include <cstdint>

#include "platform/sys/dynamic_module.h"
#include "platform/sys/types.h"

// Entries of the platform's screen-saver modules, looked up by name.
using VerifyScreenSavePwdProc = int (*)(HWND window);
using PwdChangePasswordProc = uint32_t (*)(const char* provider, HWND owner, uint32_t reserved1,
                                           void* reserved2);
using HIMC = void*;
using ImmAssociateContextProc = HIMC (*)(HWND window, HIMC context);

inline constexpr char kSaverClassName[] = "WindowsScreenSaverClass";
inline constexpr char kSaverWindowTitle[] = "Screen Saver";
inline constexpr char kPreviewWindowTitle[] = "Preview";

inline constexpr char kPasswordModuleName[] = "PASSWORD.CPL";
inline constexpr char kPasswordCheckEntryName[] = "VerifyScreenSavePwd";
inline constexpr char kPasswordChangeModuleName[] = "MPR.DLL";
inline constexpr char kPasswordChangeEntryName[] = "PwdChangePasswordA";
inline constexpr char kPasswordProviderName[] = "SCRSAVE";
inline constexpr char kImeModuleName[] = "IMM32.DLL";
inline constexpr char kImeEntryName[] = "ImmAssociateContext";
inline constexpr char kDesktopKeyName[] = "Control Panel\\Desktop";
inline constexpr char kUsePasswordValueName[] = "ScreenSaveUsePassword";
inline constexpr char kAutoPlayMessageName[] = "QueryCancelAutoPlay";

// A move ends the saver when |dx| + |dy| exceeds this many pixels.
inline constexpr int kMouseThreshold = 4;
// Close requests this soon after a password dialog are refused outright.
inline constexpr uint32_t kPasswordDialogPauseMs = 200;
// Sent by VerifyClose to its own window to run the password check.
inline constexpr uint32_t kPasswordRequestMessage = 0x8000;
inline constexpr uint32_t kNeverTick = 0xFFFFFFFFu;

// SystemParametersInfoA with SPI_SCREENSAVERRUNNING.
inline constexpr uint32_t SPI_SCREENSAVERRUNNING = 97;
using SystemParametersInfoProc = bool (*)(uint32_t action, uint32_t uiParam, void* pvParam,
                                          uint32_t winIni);

// The process-wide values of the screen-saver host.
struct HostState {
  bool windows9x = false;
  // Read by the Render thread and the signal watcher as well.
  std::atomic<HWND> saverWindow{0};
  bool previewMode = false;
  uint32_t autoPlayMessage = 0;
  HMODULE passwordModule = nullptr;
  VerifyScreenSavePwdProc passwordCheck = nullptr;
  bool closing = false;
  bool passwordDialogOpen = false;
  POINT referenceCursor;
  uint32_t lastPasswordDialogTick = kNeverTick;
  HMODULE imeModule = nullptr;
  ImmAssociateContextProc imeAssociate = nullptr;
  HIMC savedInputContext = nullptr;
  // Only Windows 9x keeps a screen-saver-running state; this platform has none
  // to set, and tests put a recorder here.
  SystemParametersInfoProc systemParametersInfo = nullptr;
  // The signal (SIGTERM, SIGINT) that ended the saver window; 0 for any other end.
  int endingSignal = 0;
};

extern HostState Host;

// Back to the values at process start, for tests.
void ResetHostState();
