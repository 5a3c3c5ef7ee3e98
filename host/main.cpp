#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/program_request.h"
#include "platform/sys/command_line.h"
#include "platform/win/application.h"
#include "platform/win/standalone_frame.h"

namespace {

constexpr int kExitBadStart = 255;

[[noreturn]] void End(int status) {
  // Everything the saver has to put back is back once the host returns; the
  // libraries' own teardown at exit only frees memory and unloads drivers, and
  // would add tens of milliseconds between the user's key and the exit.
  std::fflush(nullptr);
  std::_Exit(status);
}

void Say(const std::string& line) { std::fprintf(stderr, "quellar: %s\n", line.c_str()); }

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc && argv[i]; ++i) arguments.emplace_back(argv[i]);
  ProgramRequest request = ReadProgramRequest(arguments);
  switch (request.action) {
    case ProgramRequest::Action::Help:
      std::fputs(ProgramHelpText().c_str(), stdout);
      End(0);
    case ProgramRequest::Action::Version:
      std::fputs(ProgramVersionText().c_str(), stdout);
      End(0);
    case ProgramRequest::Action::Mistake:
      Say(request.mistake + "; see quellar --help");
      End(kExitBadStart);
    case ProgramRequest::Action::Run:
      break;
  }
  if (!request.notice.empty()) Say(request.notice);
  if (!request.display.empty()) setenv("DISPLAY", request.display.c_str(), 1);
  std::string problem;
  if (!CanShowWindows(&problem)) {
    Say(problem);
    End(kExitBadStart);
  }
  // A window of our own is drawn in as XScreenSaver's windows are: until it
  // is closed, or SIGINT/SIGTERM.
  if (request.ownWindow) {
    const uint32_t frame = CreateStandaloneFrame("Quellar", 800, 600);
    if (frame == 0) {
      Say("cannot make a window");
      End(kExitBadStart);
    }
    request.modeLine = "-window-id " + std::to_string(frame);
  }
  // The rest of the program sees the mode alone: a path given to a flag must
  // never read as a switch.
  const std::string line = "quellar " + request.modeLine;
  const char* modeArgv[] = {line.c_str()};
  SetCommandLine(1, modeArgv);
  // Qt hears the program's name only: its own options (-platform, -display)
  // would otherwise end the process on a typing error.
  EnsureGuiApplication(1, argv);
  End(HostEntry());
}
