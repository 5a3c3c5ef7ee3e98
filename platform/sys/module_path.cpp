#include "platform/sys/module_path.h"

#include <unistd.h>

#include <string>

#include "platform/sys/utf8_truncate.h"

uint32_t GetModuleFileNameA(char* buffer, uint32_t size) {
  if (!buffer || size == 0) return 0;
  std::string path(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || size_t(length) >= path.size()) {
    buffer[0] = '\0';
    return 0;
  }
  return uint32_t(CopyUtf8Truncated(path.data(), size_t(length), buffer, size));
}
