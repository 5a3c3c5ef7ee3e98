#include <cstdio>

#include "host/host.h"

// The configuration dialog comes later; until then the mode says so and ends
// the way a cancelled dialog does.
int ShowConfigDialog(HWND) {
  std::fputs("quellar: this build has no configuration dialog yet\n", stderr);
  return 0;
}
