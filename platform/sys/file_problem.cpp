#include "platform/sys/file_problem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

std::string FileProblem(const std::string& path) {
  if (path.empty()) return "no file named";
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return std::strerror(errno);
  struct stat facts {};
  const bool known = fstat(fd, &facts) == 0;
  close(fd);
  if (!known) return std::strerror(errno);
  if (S_ISDIR(facts.st_mode)) return "a folder, not a file";
  if (!S_ISREG(facts.st_mode)) return "not a regular file";
  if (facts.st_size == 0) return "the file is empty";
  return {};
}
