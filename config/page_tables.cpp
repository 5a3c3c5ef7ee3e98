#include "config/page_tables.h"

#include "platform/dialog/dialog.h"

void ShowPageControls(HWND dialog, std::span<const int> table, bool show) {
  for (int id : table) {
    HWND control = GetDlgItem(dialog, id);
    if (control != 0) ShowWindow(control, show ? SW_SHOW : SW_HIDE);
  }
}
