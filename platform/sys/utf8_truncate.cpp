#include "platform/sys/utf8_truncate.h"

#include <cstring>

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length a lead byte announces, or 1 for a byte that leads nothing.
size_t AnnouncedLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 1;
}

// The bytes of the character starting at `at`: a whole well-formed sequence,
// or 1 for a stray byte.
size_t CharacterLength(const unsigned char* text, size_t at, size_t length) {
  const size_t announced = AnnouncedLength(text[at]);
  if (announced == 1 || at + announced > length) return 1;
  for (size_t i = 1; i < announced; ++i) {
    if (!IsContinuation(text[at + i])) return 1;
  }
  return announced;
}

}  // namespace

size_t Utf8SequenceLength(const char* text, size_t at, size_t length) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  if (at >= length) return 0;
  if (bytes[at] < 0x80) return 1;
  const size_t found = CharacterLength(bytes, at, length);
  return found > 1 ? found : 0;
}

size_t Utf8PrefixLength(const char* text, size_t length, size_t limit) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  size_t end = 0;
  while (end < length) {
    const size_t next = end + CharacterLength(bytes, end, length);
    if (next > limit) break;
    end = next;
  }
  return end;
}

size_t CopyUtf8Truncated(const char* text, size_t length, char* buffer, size_t size) {
  if (!buffer || size == 0) return 0;
  const size_t copied = Utf8PrefixLength(text, length, size - 1);
  std::memcpy(buffer, text, copied);
  buffer[copied] = '\0';
  return copied;
}
