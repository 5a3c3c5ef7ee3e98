#pragma once
#include <sys/types.h>

#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/sys/handle.h"

// What a thread handle and the thread itself share; it outlives whichever of
// the two goes first.
struct ThreadState {
  std::mutex mutex;
  std::condition_variable changed;
  pid_t tid = 0;
  bool ended = false;
  uint32_t exitCode = 0;
};

class ThreadObject final : public KernelObject {
public:
  explicit ThreadObject(std::shared_ptr<ThreadState> state) : state_(std::move(state)) {}
  uint32_t Wait(uint32_t milliseconds) override;
  ThreadState& State() { return *state_; }

private:
  std::shared_ptr<ThreadState> state_;
};
