#pragma once
#include "platform/sys/types.h"

// How the Stage tells the window that owns it that a frame reached the screen,
// without knowing who that is. The saver window answers with its first-frame
// flag and posts itself its first-frame message.
class FirstFrameSink {
 public:
  virtual ~FirstFrameSink() = default;
  // The first-frame flag: true once the window has handled the message.
  virtual bool FirstFrameSeen() const = 0;
  // Posts (never sends) the first-frame message to the window.
  virtual void PostFirstFrame(HWND window) = 0;
};

// Process-wide, as the saver instance is; null means nobody listens.
void SetFirstFrameSink(FirstFrameSink* sink);
FirstFrameSink* GetFirstFrameSink();
