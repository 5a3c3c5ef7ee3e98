#include "config/about_box.h"

#include "config/centre_window.h"
#include "config/config_dialog_state.h"
#include "platform/dialog/dialog.h"
#include "resources/control_ids.h"

namespace {

intptr_t AboutDialogProc(HWND dialog, uint32_t message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CentreWindow(dialog, ConfigDialogHandle);
      return TRUE;
    case WM_COMMAND:
      if (wParam == IDOK || wParam == IDCANCEL) EndDialog(dialog, 1);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void ShowAboutBox(HWND owner) {
  DialogBoxParam(IDD_ABOUT, owner, &AboutDialogProc, 0);
}
