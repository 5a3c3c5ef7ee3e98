#include "platform/sys/named_mutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <set>
#include <string>

#include "platform/sys/last_error.h"

namespace {

// The folder of the lock files: private to the user, as the runtime folder is.
std::string LockFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && runtime[0] == '/') return runtime;
  const std::string folder = "/tmp/quellar-" + std::to_string(getuid());
  mkdir(folder.c_str(), 0700);
  struct stat info {};
  // Somebody else's folder of that name must not decide who runs.
  if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid()) {
    return {};
  }
  return folder;
}

std::string LockFileName(const char* name) {
  std::string file = "quellar-mutex-";
  for (const char* c = name; *c; ++c) file += (*c == '/' || *c == '\\') ? '_' : *c;
  return file + ".lock";
}

// Names open in this process: flock would let a second handle of ours through.
std::mutex namesMutex;
std::multiset<std::string> openNames;

class NamedMutex final : public KernelObject {
public:
  NamedMutex(std::string name, int fd, bool owned)
      : name_(std::move(name)), fd_(fd), owned_(owned) {}
  ~NamedMutex() override {
    if (fd_ >= 0) close(fd_);
    std::lock_guard lock(namesMutex);
    openNames.erase(openNames.find(name_));
  }

  // Only the handle that made the name can own it; waiting for another
  // process to let go is not something the system ever does.
  uint32_t Wait(uint32_t) override {
    if (fd_ < 0) return WAIT_FAILED;
    owned_ = true;
    return WAIT_OBJECT_0;
  }

  bool Release() {
    if (!owned_) return false;
    owned_ = false;
    return true;
  }

private:
  std::string name_;
  int fd_;  // holds the lock while this handle is the one that made the name
  bool owned_;
};

int OpenLockFile(const std::string& path) {
  return open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

}  // namespace

HANDLE CreateMutexA(bool initialOwner, const char* name) {
  if (!name || !name[0]) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const std::string folder = LockFolder();
  if (folder.empty()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  const int fd = OpenLockFile(folder + "/" + LockFileName(name));
  if (fd < 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  std::lock_guard lock(namesMutex);
  const bool openHere = openNames.count(name) > 0;
  const bool lockedElsewhere = !openHere && flock(fd, LOCK_EX | LOCK_NB) != 0;
  const bool exists = openHere || lockedElsewhere;
  openNames.insert(name);
  SetLastError(exists ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  if (exists) {
    close(fd);
    return new NamedMutex(name, -1, false);
  }
  return new NamedMutex(name, fd, initialOwner);
}

bool ReleaseMutex(HANDLE mutex) {
  auto* named = dynamic_cast<NamedMutex*>(mutex);
  if (!named || !named->Release()) {
    SetLastError(ERROR_NOT_OWNER);
    return false;
  }
  return true;
}
