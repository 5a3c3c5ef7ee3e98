#include "platform/sys/thread.h"

#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/sys/priority_internal.h"
#include "platform/sys/thread_state.h"

namespace {

void RunThread(std::shared_ptr<ThreadState> state, ThreadProc body, void* parameter) {
  // A thread started by one that was never lowered must still follow the
  // class; done before the id is known, so that a priority set through the
  // handle comes after it and stays.
  ApplyProcessPriorityToThread(gettid());
  {
    std::lock_guard lock(state->mutex);
    state->tid = gettid();
  }
  state->changed.notify_all();
  const uint32_t exitCode = body(parameter);
  {
    std::lock_guard lock(state->mutex);
    state->exitCode = exitCode;
    state->ended = true;
  }
  state->changed.notify_all();
}

}  // namespace

uint32_t ThreadObject::Wait(uint32_t milliseconds) {
  std::unique_lock lock(state_->mutex);
  const auto hasEnded = [this] { return state_->ended; };
  if (milliseconds == INFINITE) {
    state_->changed.wait(lock, hasEnded);
    return WAIT_OBJECT_0;
  }
  return state_->changed.wait_for(lock, std::chrono::milliseconds(milliseconds), hasEnded)
             ? WAIT_OBJECT_0
             : WAIT_TIMEOUT;
}

HANDLE CreateThread(ThreadProc body, void* parameter) {
  if (!body) return nullptr;
  auto state = std::make_shared<ThreadState>();
  try {
    std::thread(RunThread, state, body, parameter).detach();
  } catch (const std::system_error&) {
    return nullptr;
  }
  // The thread id must be known before anyone sets the thread's priority.
  std::unique_lock lock(state->mutex);
  state->changed.wait(lock, [&] { return state->tid != 0; });
  lock.unlock();
  return new ThreadObject(std::move(state));
}

bool GetExitCodeThread(HANDLE thread, uint32_t* exitCode) {
  auto* object = dynamic_cast<ThreadObject*>(thread);
  if (!object || !exitCode) return false;
  std::lock_guard lock(object->State().mutex);
  if (!object->State().ended) return false;
  *exitCode = object->State().exitCode;
  return true;
}

void Sleep(uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
