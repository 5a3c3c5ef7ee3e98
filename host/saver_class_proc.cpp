#include "host/saver_class_proc.h"

#include <cstdlib>

#include "host/host_state.h"
#include "platform/sys/thread.h"
#include "platform/sys/tick_count.h"
#include "platform/win/cursor.h"
#include "platform/win/message_loop.h"
#include "platform/win/window.h"
#include "saver/saver_window.h"

namespace {

// Only a module the process has loaded already counts, as the input method's
// is when a Japanese input method is in use; nothing is loaded for it.
HMODULE FindLoadedModule(const char* name) {
  return FakeModuleLoadCount(name) > 0 ? LoadLibraryA(name) : nullptr;
}

void DetachInputMethod(HWND window) {
  Host.imeModule = FindLoadedModule(kImeModuleName);
  if (Host.imeModule == nullptr) return;
  Host.imeAssociate =
      reinterpret_cast<ImmAssociateContextProc>(GetProcAddress(Host.imeModule, kImeEntryName));
  if (Host.imeAssociate != nullptr) Host.savedInputContext = Host.imeAssociate(window, nullptr);
}

void ReattachInputMethod(HWND window) {
  if (Host.imeModule != nullptr && Host.imeAssociate != nullptr &&
      Host.savedInputContext != nullptr) {
    Host.imeAssociate(window, Host.savedInputContext);
  }
  if (Host.imeModule != nullptr) FreeLibrary(Host.imeModule);
  Host.imeModule = nullptr;
  Host.imeAssociate = nullptr;
  Host.savedInputContext = nullptr;
}

void HideCursorUnlessPreview() {
  if (!Host.previewMode) SetCursor(nullptr);
}

bool IsInput(uint32_t message) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      return true;
    default:
      return false;
  }
}

LRESULT ForwardToParent(HWND window, uint32_t message, LPARAM lParam) {
  HWND parent = GetParent(window);
  if (parent != 0 && IsWindow(parent)) PostMessage(parent, message, parent, lParam);
  return 1;
}

void End(HWND window) {
  PostMessage(window, WM_CLOSE, 0, 0);
}

void EndOnFarMove(HWND window) {
  POINT now;
  GetCursorPos(&now);
  int distance =
      std::abs(now.x - Host.referenceCursor.x) + std::abs(now.y - Host.referenceCursor.y);
  if (distance > kMouseThreshold) {
    End(window);
    Host.referenceCursor = now;
  }
}

// The end rules; true when the message is answered here and goes no further.
bool ApplyEndRule(HWND window, uint32_t message, WPARAM wParam, LRESULT* result) {
  switch (message) {
    case WM_SHOWWINDOW:
      if (wParam != 0) SetCursor(nullptr);
      break;
    case WM_ACTIVATEAPP:
      if (wParam == 0) End(window);
      break;
    case WM_SETCURSOR:
      SetCursor(nullptr);
      *result = 1;
      return true;
    case WM_POWER:
      if (wParam == PWR_CRITICALRESUME) End(window);
      break;
    case WM_MOUSEMOVE:
      EndOnFarMove(window);
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_POWERBROADCAST:
      End(window);
      break;
    default:
      break;
  }
  return false;
}

LRESULT Finish(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
  if (Host.autoPlayMessage != 0 && message == Host.autoPlayMessage) {
    End(window);
    return Host.passwordCheck != nullptr ? 1 : 0;
  }
  return DefWindowProc(window, message, wParam, lParam);
}

}  // namespace

LRESULT SaverClassProc(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      DetachInputMethod(window);
      GetCursorPos(&Host.referenceCursor);
      HideCursorUnlessPreview();
      break;
    case WM_DESTROY:
      ReattachInputMethod(window);
      PostQuitMessage(0);
      break;
    case WM_SETTEXT:
      return 0;
    case WM_PAINT:
      if (Host.closing) return DefWindowProc(window, message, wParam, lParam);
      HideCursorUnlessPreview();
      break;
    case WM_HELP:
    case WM_CONTEXTMENU:
      if (Host.previewMode) return ForwardToParent(window, message, lParam);
      break;
    case WM_SYSCOMMAND:
      if (!Host.previewMode &&
          (wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW || wParam == SC_SCREENSAVE)) {
        return 0;
      }
      break;
    case WM_TIMER:
      if (Host.closing) return 0;
      Sleep(0);
      break;
    default:
      if (IsInput(message) && Host.closing) {
        return DefWindowProc(window, message, wParam, lParam);
      }
      break;
  }
  return SaverWindowProc(window, message, wParam, lParam);
}

LRESULT DefaultSaverProc(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
  if (Host.previewMode || Host.closing) return Finish(window, message, wParam, lParam);
  if (message == WM_CLOSE) {
    if (!Host.windows9x) return Finish(window, message, wParam, lParam);
    if (!VerifyClose(window)) {
      GetCursorPos(&Host.referenceCursor);
      return 0;
    }
    return Finish(window, message, wParam, lParam);
  }
  if (message == kPasswordRequestMessage) {
    if (!Host.windows9x) return Finish(window, message, wParam, lParam);
    return Host.passwordCheck != nullptr ? Host.passwordCheck(window) : 1;
  }
  if (Host.passwordDialogOpen) return Finish(window, message, wParam, lParam);
  LRESULT result = 0;
  if (ApplyEndRule(window, message, wParam, &result)) return result;
  return Finish(window, message, wParam, lParam);
}

bool VerifyClose(HWND window) {
  if (Host.passwordDialogOpen || Host.closing) return false;
  if (Host.passwordCheck == nullptr) {
    Host.closing = true;
    return true;
  }
  uint32_t now = GetTickCount();
  if (Host.lastPasswordDialogTick != kNeverTick &&
      now - Host.lastPasswordDialogTick < kPasswordDialogPauseMs) {
    return false;
  }
  Host.passwordDialogOpen = true;
  MSG pending;
  PeekMessage(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
  PeekMessage(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
  Host.closing = SendMessage(window, kPasswordRequestMessage, 0, 0) != 0;
  Host.passwordDialogOpen = false;
  if (!Host.closing) SetCursor(nullptr);
  Host.lastPasswordDialogTick = GetTickCount();
  return Host.closing;
}
