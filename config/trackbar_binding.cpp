#include "config/trackbar_binding.h"

#include "platform/dialog/common_controls.h"
#include "platform/dialog/dialog.h"

void TrackbarBinding::Bind(HWND dialog, int id) {
  dialog_ = dialog;
  id_ = id;
}

void TrackbarBinding::SetRange(int minimum, int maximum) {
  SendDlgItemMessage(dialog_, id_, TBM_SETRANGE, TRUE, MAKELPARAM(minimum, maximum));
}

void TrackbarBinding::SetPageSize(int size) {
  SendDlgItemMessage(dialog_, id_, TBM_SETPAGESIZE, 0, size);
}

void TrackbarBinding::SetPosition(int position) {
  SendDlgItemMessage(dialog_, id_, TBM_SETPOS, TRUE, position);
}

int TrackbarBinding::GetPosition() const {
  return int(SendDlgItemMessage(dialog_, id_, TBM_GETPOS, 0, 0));
}
