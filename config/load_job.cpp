#include "config/load_job.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

struct LoadJob::State {
  std::function<bool()> work;
  std::mutex lock;
  std::condition_variable ended;
  bool done = false;
  bool ok = false;
};

namespace {

// Load threads that may outlive their job. They are joined when the process
// ends, so that none of them is cut off inside the loader.
class LoadThreads {
 public:
  ~LoadThreads() {
    std::lock_guard guard(lock_);
    for (Entry& entry : threads_) entry.thread.join();
  }
  void Start(const std::shared_ptr<LoadJob::State>& job) {
    std::lock_guard guard(lock_);
    JoinEnded();
    threads_.push_back(Entry{job, std::thread([state = job] {
      const bool ok = state->work();
      std::lock_guard stateGuard(state->lock);
      state->ok = ok;
      state->done = true;
      state->ended.notify_all();
    })});
  }

 private:
  struct Entry {
    std::shared_ptr<LoadJob::State> state;
    std::thread thread;
  };

  // A thread whose job is done has nothing left but to return.
  void JoinEnded() {
    std::erase_if(threads_, [](Entry& entry) {
      std::lock_guard stateGuard(entry.state->lock);
      if (!entry.state->done) return false;
      entry.thread.join();
      return true;
    });
  }

  std::mutex lock_;
  std::vector<Entry> threads_;
};

LoadThreads& Threads() {
  static LoadThreads threads;
  return threads;
}

}  // namespace

LoadJob::LoadJob(std::function<bool()> work) : state_(std::make_shared<State>()) {
  state_->work = std::move(work);
  Threads().Start(state_);
}

LoadJob::~LoadJob() = default;

bool LoadJob::WaitFor(uint32_t milliseconds) {
  std::unique_lock guard(state_->lock);
  return state_->ended.wait_for(guard, std::chrono::milliseconds(milliseconds),
                                [this] { return state_->done; });
}

bool LoadJob::Succeeded() const {
  std::lock_guard guard(state_->lock);
  return state_->ok;
}
