// Holds a named mutex for the tests: creates it, writes "1" (made) or "0"
// (already existed) to stdout, then keeps it until stdin closes or it is killed.
#include <unistd.h>

#include "platform/sys/last_error.h"
#include "platform/sys/named_mutex.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  HANDLE mutex = CreateMutexA(true, argv[1]);
  const char made = GetLastError() == ERROR_ALREADY_EXISTS ? '0' : '1';
  if (!mutex || write(STDOUT_FILENO, &made, 1) != 1) return 2;
  char ignored;
  while (read(STDIN_FILENO, &ignored, 1) > 0) {
  }
  CloseHandle(mutex);
  return 0;
}
