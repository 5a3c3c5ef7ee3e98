#pragma once
#include <cstdint>
#include <functional>
#include <memory>

// Reads a file (an .x model, a texture image) on a thread of its own, so that
// a slow or hanging read never holds up the dialog: the dialog's thread waits
// a short while and otherwise comes back for the result on a later tick. The
// work must touch nothing that anybody else uses until the job has ended.
class LoadJob {
 public:
  // `work` returns whether the read succeeded.
  explicit LoadJob(std::function<bool()> work);
  // An abandoned job runs to its end (the readers' own limits bound it) and
  // its result is dropped.
  ~LoadJob();
  LoadJob(const LoadJob&) = delete;
  LoadJob& operator=(const LoadJob&) = delete;

  // True once the work has ended, waiting at most `milliseconds` for it.
  bool WaitFor(uint32_t milliseconds);
  // Valid after WaitFor returned true.
  bool Succeeded() const;

  struct State;

 private:
  std::shared_ptr<State> state_;
};
