#include "platform/sys/last_error.h"
#include "platform/sys/named_mutex.h"
#include "settings/settings.h"

namespace {
HANDLE instanceMutex = nullptr;
}

bool AcquireInstanceMutex() {
  if (instanceMutex) ReleaseInstanceMutex();
  instanceMutex = CreateMutexA(true, kInstanceMutexName);
  return GetLastError() != ERROR_ALREADY_EXISTS;
}

// Closing as well as releasing lets the next saver start at once, instead of
// when this process has ended.
void ReleaseInstanceMutex() {
  if (!instanceMutex) return;
  ReleaseMutex(instanceMutex);
  CloseHandle(instanceMutex);
  instanceMutex = nullptr;
}
