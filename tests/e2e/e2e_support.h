#pragma once
#include <X11/Xlib.h>
#include <signal.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/isolated_env.h"

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

// Polls until the condition holds; false when the time ran out first.
template <typename Condition>
bool WaitUntil(Condition done, Milliseconds timeout, Milliseconds step = Milliseconds(50)) {
  for (auto deadline = Clock::now() + timeout; !done(); std::this_thread::sleep_for(step))
    if (Clock::now() >= deadline) return false;
  return true;
}

// A virtual X server of the test's own, so that no other test's windows take
// the focus from a saver and no two savers of parallel tests meet.
class XvfbServer {
 public:
  XvfbServer(int width, int height);
  // Xephyr in the `host` server: Xinerama over `monitors` screens side by side.
  XvfbServer(const std::string& host, int monitors, int width, int height);
  ~XvfbServer();
  const std::string& Name() const { return name_; }
  Display* X() const { return display_; }

 private:
  void Start(std::vector<std::string> command, const std::string& host);
  pid_t pid_ = -1;
  std::string name_;
  Display* display_ = nullptr;
};

inline std::string QuellarBinary() {
  return std::string(QUELLAR_BINARY_DIR) + "/bin/quellar";
}

// The real quellar program (or another binary); its standard error goes to
// errorPath, its standard output to errorPath + ".out".
class QuellarProcess {
 public:
  QuellarProcess(const std::map<std::string, std::string>& environment,
                 const std::vector<std::string>& arguments, const std::string& errorPath,
                 const std::string& binary = QuellarBinary());
  ~QuellarProcess();

  // The exit status (0..255) once ended within the time, nothing otherwise.
  std::optional<int> WaitForExit(Milliseconds timeout);
  // The signal that ended the process, 0 when it exited by itself.
  int EndingSignal() const { return endingSignal_; }
  bool Running() { return !WaitForExit(Milliseconds(0)).has_value(); }
  void Signal(int signal) {
    if (pid_ > 0 && !status_) kill(pid_, signal);
  }
  pid_t Pid() const { return pid_; }
  std::string ErrorOutput() const { return ReadWholeFile(errorPath_); }
  std::string Output() const { return ReadWholeFile(errorPath_ + ".out"); }

 private:
  pid_t pid_ = -1;
  std::string errorPath_;
  std::optional<int> status_;
  int endingSignal_ = 0;
};

std::vector<Window> Children(Display* x, Window parent);
// The window of that title among the root's children, 0 when there is none.
Window FindTopLevel(Display* x, const char* title);
// The topmost viewable child of the root.
Window TopOfStack(Display* x);

struct Area {
  int x, y, width, height;
};
// Pixels of the region that are not black, and those that are nearly white.
struct PixelCount {
  long lit = 0, white = 0;
};
PixelCount CountPixels(Display* x, Window window, Area region);
// The region's pixels as 0xRRGGBB, rows top first; empty when it cannot be read.
std::vector<unsigned long> Pixels(Display* x, Window window, Area region);
