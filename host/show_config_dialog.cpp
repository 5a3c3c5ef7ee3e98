#include "config/config_dialog.h"
#include "host/host.h"
#include "platform/dialog/dialog.h"
#include "resources/control_ids.h"

namespace {

// The hook where dialog classes of our own would be registered; the
// configuration dialog uses only the standard controls.
bool RegisterDialogClasses() {
  return true;
}

}  // namespace

int ShowConfigDialog(HWND owner) {
  if (!RegisterDialogClasses()) return 0;
  return int(DialogBoxParam(IDD_CONFIG, owner, &ConfigDialogProc, 0));
}
