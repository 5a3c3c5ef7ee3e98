#include <cstdio>
#include <cstdlib>

#include "host/host.h"
#include "platform/sys/command_line.h"
#include "platform/win/application.h"

int main(int argc, char** argv) {
  SetCommandLine(argc, argv);
  EnsureGuiApplication(argc, argv);
  int exitCode = HostEntry();
  // Everything the saver has to put back is back once the host returns; the
  // libraries' own teardown at exit only frees memory and unloads drivers, and
  // would add tens of milliseconds between the user's key and the exit.
  std::fflush(nullptr);
  std::_Exit(exitCode);
}
