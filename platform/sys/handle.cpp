#include "platform/sys/handle.h"

uint32_t WaitForSingleObject(HANDLE handle, uint32_t milliseconds) {
  if (!handle) return WAIT_FAILED;
  return handle->Wait(milliseconds);
}

bool CloseHandle(HANDLE handle) {
  if (!handle) return false;
  if (handle->IsPseudoHandle()) return true;
  delete handle;
  return true;
}
