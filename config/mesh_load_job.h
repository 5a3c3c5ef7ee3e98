#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/ref.h"
#include "platform/rm/mesh_builder.h"

// Reads an .x file into a fresh mesh builder on a thread of its own, so that a
// slow or hanging parse never holds up the dialog: the dialog's thread waits a
// short while and otherwise comes back for the result on a later tick. Nobody
// else may touch the builder until the job has ended.
class MeshLoadJob {
 public:
  MeshLoadJob(Ref<RMMeshBuilder> builder, std::string file);
  // An abandoned job runs to its end (the loader's time limit bounds it) and
  // drops its result.
  ~MeshLoadJob();
  MeshLoadJob(const MeshLoadJob&) = delete;
  MeshLoadJob& operator=(const MeshLoadJob&) = delete;

  // True once the load has ended, waiting at most `milliseconds` for it.
  bool WaitFor(uint32_t milliseconds);
  // Valid after WaitFor returned true.
  bool Succeeded() const;
  const Ref<RMMeshBuilder>& Builder() const;

  struct State;

 private:
  std::shared_ptr<State> state_;
};
