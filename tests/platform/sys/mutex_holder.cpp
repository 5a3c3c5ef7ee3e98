// Asks for a named mutex: writes "1" to stdout when it made it, "0" when the name existed.
#include <unistd.h>

#include "platform/sys/last_error.h"
#include "platform/sys/named_mutex.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  HANDLE mutex = CreateMutexA(true, argv[1]);
  const char made = GetLastError() == ERROR_ALREADY_EXISTS ? '0' : '1';
  return mutex && write(STDOUT_FILENO, &made, 1) == 1 ? 0 : 2;
}
