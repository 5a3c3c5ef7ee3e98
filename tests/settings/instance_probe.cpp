// Stands in for a second saver: tries the instance mutex, writes '1' (got it)
// or '0' (another instance runs), then holds on until stdin closes.
#include <unistd.h>

#include "settings/settings.h"

int main() {
  const char got = AcquireInstanceMutex() ? '1' : '0';
  if (write(STDOUT_FILENO, &got, 1) != 1) return 2;
  for (char ignored; read(STDIN_FILENO, &ignored, 1) > 0;) {
  }
  ReleaseInstanceMutex();
}
