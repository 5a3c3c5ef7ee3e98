#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "host/host.h"
#include "host/host_state.h"
#include "host/host_switch.h"
#include "host/saver_class_proc.h"
#include "host/termination_watch.h"
#include "host/xscreensaver_options.h"
#include "platform/registry/registry.h"
#include "platform/sys/command_line.h"
#include "platform/sys/platform_identity.h"
#include "platform/win/message_loop.h"
#include "platform/win/window.h"
#include "saver/saver_window.h"
#include "settings/settings.h"

namespace {

constexpr uint32_t kSaverClassStyle = CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
constexpr uint32_t kPreviewStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
constexpr uint32_t kSaverStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr int kExitUnknown = -1;

bool ReportsWindows9x() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

HWND OwnerOrForeground(HWND owner) {
  if (owner == 0 || !IsWindow(owner)) return GetForegroundWindow();
  return owner;
}

int RunMode(const HostSwitch& choice) {
  switch (choice.mode) {
    case HostMode::Saver:
      return RunSaverWindow(0);
    case HostMode::Preview:
      return RunPreview(choice.rest);
    case HostMode::Configure:
      if (choice.noSwitch) return ShowConfigDialog(0);
      return ShowConfigDialog(
          OwnerOrForeground(choice.rest != nullptr ? ParseWindowHandle(choice.rest) : 0));
    case HostMode::ChangePassword:
      if (!Host.windows9x) return kExitUnknown;
      ChangePassword(choice.rest);
      return 0;
    case HostMode::Unknown:
      break;
  }
  return kExitUnknown;
}

struct WindowPlacement {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

WindowPlacement PlacementFor(HWND parent) {
  RECT area;
  if (parent != 0) {
    GetClientRect(parent, &area);
    return {0, 0, area.right - area.left, area.bottom - area.top};
  }
  GetScreenClipBox(&area);
  return {area.left, area.top, area.right - area.left, area.bottom - area.top};
}

// A second saver only brings the first one to the front.
bool BroughtRunningSaverForward() {
  HWND running = FindWindow(kSaverClassName, kSaverWindowTitle);
  if (running == 0 || !IsWindow(running)) return false;
  SetForegroundWindow(running);
  return true;
}

HWND CreateSaverWindow(HWND parent) {
  WNDCLASS windowClass;
  windowClass.style = kSaverClassStyle;
  windowClass.lpfnWndProc = &SaverClassProc;
  windowClass.lpszClassName = kSaverClassName;
  if (!RegisterClass(windowClass)) return 0;
  WindowPlacement place = PlacementFor(parent);
  bool preview = parent != 0;
  return CreateWindowEx(preview ? 0 : WS_EX_TOPMOST, kSaverClassName,
                        preview ? kPreviewWindowTitle : kSaverWindowTitle,
                        preview ? kPreviewStyle : kSaverStyle, place.x, place.y, place.width,
                        place.height, parent);
}

int RunMessageLoop() {
  MSG message;
  while (GetMessage(&message, 0, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessage(&message);
  }
  return static_cast<int>(message.wParam);
}

bool ReadUsePassword() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKeyName, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  uint8_t value[4] = {};
  uint32_t size = sizeof value;
  bool use = RegQueryValueExA(key, kUsePasswordValueName, nullptr, value, &size) == ERROR_SUCCESS &&
             (value[0] | value[1] | value[2] | value[3]) != 0;
  RegCloseKey(key);
  return use;
}

}  // namespace

HostState Host;

void ResetHostState() {
  Host.windows9x = false;
  Host.saverWindow = 0;
  Host.previewMode = false;
  Host.autoPlayMessage = 0;
  Host.passwordModule = nullptr;
  Host.passwordCheck = nullptr;
  Host.closing = false;
  Host.passwordDialogOpen = false;
  Host.referenceCursor = {};
  Host.lastPasswordDialogTick = kNeverTick;
  Host.imeModule = nullptr;
  Host.imeAssociate = nullptr;
  Host.savedInputContext = nullptr;
  Host.systemParametersInfo = nullptr;
  Host.endingSignal = 0;
}

int HostEntry() {
  std::string arguments = SkipProgramName(GetCommandLineA());
  XScreenSaverRequest xscreensaver =
      ReadXScreenSaverOptions(arguments.c_str(), std::getenv("XSCREENSAVER_WINDOW"));
  if (xscreensaver.present) {
    // The rest of the program knows a preview by its command line.
    arguments = xscreensaver.fullScreen ? "/s" : "/p " + std::to_string(xscreensaver.window);
    std::string line = "quellar " + arguments;
    const char* argv[] = {line.c_str()};
    SetCommandLine(1, argv);
    if (!xscreensaver.fullScreen) ScopeInstanceMutexToWindow(xscreensaver.window);
    EndLateBySignal(true);
  }
  const int exitCode = HostMain(arguments.c_str());
  // XScreenSaver's modes end by the signal that ended them, as its daemon
  // expects; the stand-alone saver ends with its exit code.
  if (xscreensaver.present && Host.endingSignal != 0) EndBySignal(Host.endingSignal);
  return exitCode;
}

int HostMain(const char* arguments) {
  Host.windows9x = ReportsWindows9x();
  try {
    return RunMode(ReadHostSwitch(arguments));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "quellar: %s\n", error.what());
  } catch (...) {
    std::fprintf(stderr, "quellar: unexpected failure\n");
  }
  // A crash must never leave the system believing that a saver still runs.
  SetSaverRunning(false);
  return kExitUnknown;
}

int RunPreview(const char* text) {
  HWND parent = ParseWindowHandle(text);
  if (parent == 0 || !IsWindow(parent)) {
    std::fprintf(stderr, "quellar: no window with the id \"%s\" on this display\n", text);
    return kExitUnknown;
  }
  return RunSaverWindow(parent);
}

int RunSaverWindow(HWND parent) {
  Host.previewMode = parent != 0;
  if (!Host.previewMode) {
    if (BroughtRunningSaverForward()) return 0;
    LoadPasswordModule();
  }
  if (Host.windows9x) Host.autoPlayMessage = RegisterWindowMessage(kAutoPlayMessageName);
  SetSaverDefaultProc(&DefaultSaverProc);
  TerminationWatch termination;
  ArmLateEnd();
  HWND window = CreateSaverWindow(parent);
  Host.saverWindow = window;
  int exitCode = kExitUnknown;
  if (window != 0) {
    termination.CloseOnRequest(window);
    if (!Host.previewMode) SetForegroundWindow(window);
    exitCode = RunMessageLoop();
    // A loop that ended without the window going (a second instance quits at
    // once) still tears the saver down the ordinary way.
    if (IsWindow(window)) DestroyWindow(window);
  }
  termination.CloseOnRequest(0);
  Host.endingSignal = termination.Signal();
  Host.saverWindow = 0;
  UnloadPasswordModule();
  return exitCode;
}

int ChangePassword(const char* text) {
  HWND owner = OwnerOrForeground(ParseWindowHandle(text));
  HMODULE module = LoadLibraryA(kPasswordChangeModuleName);
  if (module == nullptr) return 0;
  auto change =
      reinterpret_cast<PwdChangePasswordProc>(GetProcAddress(module, kPasswordChangeEntryName));
  if (change != nullptr) change(kPasswordProviderName, owner, 0, nullptr);
  FreeLibrary(module);
  return 0;
}

void SetSaverRunning(bool running) {
  if (!Host.windows9x || Host.systemParametersInfo == nullptr) return;
  uint32_t previous = 0;
  Host.systemParametersInfo(SPI_SCREENSAVERRUNNING, running ? 1u : 0u, &previous, 0);
}

void LoadPasswordModule() {
  if (!Host.windows9x) return;
  if (Host.passwordModule != nullptr) UnloadPasswordModule();
  if (!ReadUsePassword()) return;
  Host.passwordModule = LoadLibraryA(kPasswordModuleName);
  if (Host.passwordModule == nullptr) return;
  Host.passwordCheck = reinterpret_cast<VerifyScreenSavePwdProc>(
      GetProcAddress(Host.passwordModule, kPasswordCheckEntryName));
  if (Host.passwordCheck != nullptr) {
    SetSaverRunning(true);
  } else {
    UnloadPasswordModule();
  }
}

void UnloadPasswordModule() {
  if (!Host.windows9x || Host.passwordModule == nullptr) return;
  FreeLibrary(Host.passwordModule);
  Host.passwordModule = nullptr;
  if (Host.passwordCheck != nullptr) {
    Host.passwordCheck = nullptr;
    SetSaverRunning(false);
  }
}
