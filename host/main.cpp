#include "host/host.h"
#include "platform/sys/command_line.h"
#include "platform/win/application.h"

int main(int argc, char** argv) {
  SetCommandLine(argc, argv);
  EnsureGuiApplication(argc, argv);
  return HostEntry();
}
