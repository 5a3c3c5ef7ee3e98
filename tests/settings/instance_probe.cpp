// A second saver for the tests: tries the instance mutex, writes "1" (got it)
// or "0" (another instance runs), then holds on until stdin closes or it is killed.
#include <unistd.h>

#include "settings/settings.h"

int main() {
  const char got = AcquireInstanceMutex() ? '1' : '0';
  if (write(STDOUT_FILENO, &got, 1) != 1) return 2;
  char ignored;
  while (read(STDIN_FILENO, &ignored, 1) > 0) {
  }
  ReleaseInstanceMutex();
  return 0;
}
