#include "platform/sys/last_error.h"

namespace {
thread_local uint32_t lastError = ERROR_SUCCESS;
}

uint32_t GetLastError() { return lastError; }
void SetLastError(uint32_t error) { lastError = error; }
