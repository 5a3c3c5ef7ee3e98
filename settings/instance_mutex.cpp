#include <string>

#include "platform/sys/last_error.h"
#include "platform/sys/named_mutex.h"
#include "settings/settings.h"

namespace {
HANDLE instanceMutex = nullptr;
std::string instanceMutexName = kInstanceMutexName;
}  // namespace

void ScopeInstanceMutexToWindow(HWND window) {
  instanceMutexName = std::string(kInstanceMutexName) + "-" + std::to_string(window);
}

bool AcquireInstanceMutex() {
  if (instanceMutex) ReleaseInstanceMutex();
  instanceMutex = CreateMutexA(true, instanceMutexName.c_str());
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
