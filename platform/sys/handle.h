#pragma once
#include <cstdint>

// Something a handle names: an event, a thread, a mutex. CloseHandle ends it.
class KernelObject {
public:
  virtual ~KernelObject() = default;
  // Waits until the object is signalled or the time is up.
  virtual uint32_t Wait(uint32_t milliseconds) = 0;
  // A handle that stands for "the caller" is never freed.
  virtual bool IsPseudoHandle() const { return false; }
};

using HANDLE = KernelObject*;

inline constexpr uint32_t INFINITE = 0xFFFFFFFFu;
inline constexpr uint32_t WAIT_OBJECT_0 = 0;
inline constexpr uint32_t WAIT_TIMEOUT = 258;
inline constexpr uint32_t WAIT_FAILED = 0xFFFFFFFFu;

// WAIT_OBJECT_0, WAIT_TIMEOUT, or WAIT_FAILED for a null handle.
uint32_t WaitForSingleObject(HANDLE handle, uint32_t milliseconds);

// Closing a running thread's handle lets the thread run on unowned.
bool CloseHandle(HANDLE handle);
