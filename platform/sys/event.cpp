#include "platform/sys/event.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

class Event final : public KernelObject {
public:
  Event(bool manualReset, bool initialState) : manualReset_(manualReset), signalled_(initialState) {}

  void Set() {
    {
      std::lock_guard lock(mutex_);
      signalled_ = true;
    }
    changed_.notify_all();
  }

  void Reset() {
    std::lock_guard lock(mutex_);
    signalled_ = false;
  }

  uint32_t Wait(uint32_t milliseconds) override {
    std::unique_lock lock(mutex_);
    const auto isSignalled = [this] { return signalled_; };
    if (milliseconds == INFINITE) {
      changed_.wait(lock, isSignalled);
    } else if (!changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), isSignalled)) {
      return WAIT_TIMEOUT;
    }
    if (!manualReset_) signalled_ = false;
    return WAIT_OBJECT_0;
  }

private:
  const bool manualReset_;
  bool signalled_;
  std::mutex mutex_;
  std::condition_variable changed_;
};

Event* AsEvent(HANDLE handle) { return dynamic_cast<Event*>(handle); }

}  // namespace

HANDLE CreateEventA(bool manualReset, bool initialState) {
  return new Event(manualReset, initialState);
}

bool SetEvent(HANDLE handle) {
  Event* event = AsEvent(handle);
  if (!event) return false;
  event->Set();
  return true;
}

bool ResetEvent(HANDLE handle) {
  Event* event = AsEvent(handle);
  if (!event) return false;
  event->Reset();
  return true;
}
