#include "platform/sys/string_resource.h"

#include <cstring>

#include "platform/sys/utf8_truncate.h"
#include "resources/string_table.h"

int LoadStringA(uint32_t id, char* buffer, int size) {
  if (!buffer || size <= 0) return 0;
  const char* text = FindStringResource(id);
  if (!text) {
    buffer[0] = '\0';
    return 0;
  }
  return int(CopyUtf8Truncated(text, std::strlen(text), buffer, size_t(size)));
}
