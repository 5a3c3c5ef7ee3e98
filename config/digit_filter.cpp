#include "config/digit_filter.h"

#include "platform/dialog/dialog.h"

namespace {

WNDPROC previousProc = nullptr;

bool Passes(WPARAM character) {
  return (character >= '0' && character <= '9') || character < 32 || character == 127;
}

LRESULT DigitFilterProc(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CHAR && !Passes(wParam)) return 0;
  return CallWindowProc(previousProc, window, message, wParam, lParam);
}

}  // namespace

void InstallDigitFilter(HWND edit) {
  previousProc = reinterpret_cast<WNDPROC>(GetWindowLong(edit, GWL_WNDPROC));
  SetWindowLong(edit, GWL_WNDPROC, reinterpret_cast<intptr_t>(&DigitFilterProc));
}
