#include "config/mesh_load_job.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

struct MeshLoadJob::State {
  Ref<RMMeshBuilder> builder;
  std::string file;
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
  void Start(const std::shared_ptr<MeshLoadJob::State>& job) {
    std::lock_guard guard(lock_);
    JoinEnded();
    threads_.push_back(Entry{job, std::thread([state = job] {
      const bool ok = state->builder->Load(state->file);
      std::lock_guard stateGuard(state->lock);
      state->ok = ok;
      state->done = true;
      state->ended.notify_all();
    })});
  }

 private:
  struct Entry {
    std::shared_ptr<MeshLoadJob::State> state;
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

MeshLoadJob::MeshLoadJob(Ref<RMMeshBuilder> builder, std::string file)
    : state_(std::make_shared<State>()) {
  state_->builder = std::move(builder);
  state_->file = std::move(file);
  Threads().Start(state_);
}

MeshLoadJob::~MeshLoadJob() = default;

bool MeshLoadJob::WaitFor(uint32_t milliseconds) {
  std::unique_lock guard(state_->lock);
  return state_->ended.wait_for(guard, std::chrono::milliseconds(milliseconds),
                                [this] { return state_->done; });
}

bool MeshLoadJob::Succeeded() const {
  std::lock_guard guard(state_->lock);
  return state_->ok;
}

const Ref<RMMeshBuilder>& MeshLoadJob::Builder() const {
  return state_->builder;
}
