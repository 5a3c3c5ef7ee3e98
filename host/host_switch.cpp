#include "host/host_switch.h"

#include <cstdint>

namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

const char* SkipSpaces(const char* text) {
  while (*text == ' ') ++text;
  return text;
}

char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

const char* SkipProgramName(const char* commandLine) {
  const char* p = commandLine;
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"') ++p;
    if (*p == '"') ++p;
  } else if (!IsBlank(*p)) {
    while (!IsBlank(*p)) ++p;
  }
  while (*p != '\0' && IsBlank(*p)) ++p;
  return p;
}

HostSwitch ReadHostSwitch(const char* arguments) {
  const char* p = arguments;
  while (*p == ' ' || *p == '-' || *p == '/') ++p;
  switch (Upper(*p)) {
    case '\0':
      return {HostMode::Configure, nullptr, true};
    case 'S':
      return {HostMode::Saver, nullptr};
    case 'P':
    case 'L':
      return {HostMode::Preview, SkipSpaces(p + 1)};
    case 'C':
      return {HostMode::Configure, p[1] == ':' ? p + 2 : nullptr};
    case 'A':
      return {HostMode::ChangePassword, SkipSpaces(p + 1)};
    default:
      return {HostMode::Unknown, nullptr};
  }
}

// An id past 32 bits would wrap onto some other window: it names none.
HWND ParseWindowHandle(const char* text) {
  uint64_t value = 0;
  for (const char* p = text; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10u + static_cast<uint64_t>(*p - '0');
    if (value > UINT32_MAX) return 0;
  }
  return static_cast<HWND>(value);
}
