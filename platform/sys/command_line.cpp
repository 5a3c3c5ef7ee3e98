#include "platform/sys/command_line.h"

#include <fstream>
#include <iterator>
#include <mutex>
#include <string>

namespace {

std::mutex lineMutex;
std::string line;
bool lineSet = false;

std::string JoinArguments(int argc, const char* const* argv) {
  std::string joined;
  for (int i = 0; i < argc; ++i) {
    if (!argv[i]) break;
    if (i > 0) joined += ' ';
    joined += argv[i];
  }
  return joined;
}

// Before main has handed the arguments over, the kernel still knows them.
std::string LineOfThisProcess() {
  std::ifstream file("/proc/self/cmdline", std::ios::binary);
  std::string raw((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  while (!raw.empty() && raw.back() == '\0') raw.pop_back();
  for (char& c : raw) {
    if (c == '\0') c = ' ';
  }
  return raw;
}

}  // namespace

void SetCommandLine(int argc, const char* const* argv) {
  std::lock_guard lock(lineMutex);
  line = argv ? JoinArguments(argc, argv) : std::string();
  lineSet = true;
}

const char* GetCommandLineA() {
  std::lock_guard lock(lineMutex);
  if (!lineSet) {
    line = LineOfThisProcess();
    lineSet = true;
  }
  return line.c_str();
}
