// The command line comes from whoever starts us: any bytes must be read
// without a fault, and every pointer handed back must lie inside the line.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/host_switch.h"
#include "host/xscreensaver_options.h"

namespace {

void ExpectInside(const char* p, const std::string& line) {
  if (p != nullptr && (p < line.c_str() || p > line.c_str() + line.size())) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first line is the command line, what follows a NUL the environment's window.
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string line = bytes.substr(0, bytes.find('\0'));
  const std::string window =
      line.size() < bytes.size() ? bytes.substr(line.size() + 1) : std::string("0x2a");
  const char* arguments = SkipProgramName(line.c_str());
  ExpectInside(arguments, line);
  const HostSwitch chosen = ReadHostSwitch(arguments);
  ExpectInside(chosen.rest, line);
  if (chosen.rest != nullptr) ParseWindowHandle(chosen.rest);
  ReadXScreenSaverOptions(arguments, window.c_str());
  ParseWindowId(line.c_str());
  return 0;
}
