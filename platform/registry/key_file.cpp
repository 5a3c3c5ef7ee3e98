#include "platform/registry/key_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

namespace {

// A key file is a few hundred bytes; anything far larger is not one of ours.
constexpr size_t kMaxKeyFileSize = 1 << 20;
constexpr std::string_view kExtension = ".reg";

std::string ConfigHome() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') return config;
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.config";
  const passwd* user = getpwuid(getuid());
  if (user && user->pw_dir && user->pw_dir[0] == '/') return std::string(user->pw_dir) + "/.config";
  return {};
}

bool IsStorableComponent(std::string_view part) {
  return !part.empty() && part != "." && part != ".." &&
         part.find('/') == std::string_view::npos;
}

class FileDescriptor {
public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

private:
  int fd_;
};

std::optional<std::string> ReadAll(int fd) {
  std::string text;
  char chunk[4096];
  for (;;) {
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return {};
    if (got == 0) return text;
    text.append(chunk, size_t(got));
    if (text.size() > kMaxKeyFileSize) return {};
  }
}

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t put = write(fd, text.data(), text.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    text.remove_prefix(size_t(put));
  }
  return true;
}

// Opened without blocking, so that a FIFO or a device in the file's place
// cannot hold the program; anything but a regular file is not a key file.
std::optional<std::string> ReadFileAt(int folder, const std::string& name,
                                      bool* missing = nullptr) {
  const FileDescriptor file(
      openat(folder, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (missing) *missing = !file.valid() && errno == ENOENT;
  struct stat info {};
  if (!file.valid() || fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
  return ReadAll(file.get());
}

}  // namespace

std::optional<KeyFileLocation> LocateKeyFile(const char* subKey) {
  const std::string home = ConfigHome();
  if (home.empty() || !subKey) return {};
  std::string_view rest = subKey;
  std::string folder = home;
  for (;;) {
    const size_t separator = rest.find('\\');
    const std::string_view part = rest.substr(0, separator);
    if (!IsStorableComponent(part)) return {};
    if (separator == std::string_view::npos) {
      return KeyFileLocation{folder, std::string(part) + std::string(kExtension)};
    }
    folder += '/';
    folder += part;
    rest.remove_prefix(separator + 1);
  }
}

std::optional<RegistryDocument> ReadKeyFile(const KeyFileLocation& location) {
  const FileDescriptor folder(open(location.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder.valid()) return {};
  const std::optional<std::string> text = ReadFileAt(folder.get(), location.fileName);
  if (!text) return {};
  return RegistryDocument::Parse(*text);
}

bool MakeKeyFolders(const KeyFileLocation& location) {
  for (size_t at = 1; at <= location.folder.size(); ++at) {
    if (at != location.folder.size() && location.folder[at] != '/') continue;
    const std::string prefix = location.folder.substr(0, at);
    if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat info {};
  return stat(location.folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool ReplaceKeyFile(const KeyFileLocation& location,
                    RegistryDocument (*merge)(RegistryDocument current, const void* context),
                    const void* context) {
  const FileDescriptor folder(open(location.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  // The folder's lock orders savers; it dies with a killed process.
  if (!folder.valid() || flock(folder.get(), LOCK_EX) != 0) return false;

  RegistryDocument current;
  bool missing = false;
  if (std::optional<std::string> text = ReadFileAt(folder.get(), location.fileName, &missing)) {
    current = RegistryDocument::Parse(*text);
  } else if (!missing) {
    return false;  // never replace what could not be read
  }
  const std::string text = merge(std::move(current), context).Format();

  const std::string temporary = "." + location.fileName + ".tmp";
  {
    const FileDescriptor file(
        openat(folder.get(), temporary.c_str(),
               O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600));
    struct stat info {};
    if (!file.valid() || fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        !WriteAll(file.get(), text) || fsync(file.get()) != 0) {
      unlinkat(folder.get(), temporary.c_str(), 0);
      return false;
    }
  }
  if (renameat(folder.get(), temporary.c_str(), folder.get(), location.fileName.c_str()) != 0) {
    unlinkat(folder.get(), temporary.c_str(), 0);
    return false;
  }
  fsync(folder.get());
  return true;
}
