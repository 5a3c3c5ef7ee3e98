#pragma once
#include <cstdint>

#include "platform/sys/types.h"

// One trackbar of a dialog, reached through the dialog and the control's id.
class TrackbarBinding {
 public:
  void Bind(HWND dialog, int id);
  void SetRange(int minimum, int maximum);
  void SetPageSize(int size);
  void SetPosition(int position);
  int GetPosition() const;

 private:
  HWND dialog_ = 0;
  int id_ = 0;
};
