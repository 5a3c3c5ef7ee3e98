#pragma once
#include <X11/Xlib.h>
#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

// A virtual X server of the test's own, so that no other test's windows take
// the focus from a saver and no two savers of parallel tests meet.
class XvfbServer {
 public:
  XvfbServer(int width, int height);
  ~XvfbServer();
  bool Ready() const { return display_ != nullptr; }
  const std::string& Name() const { return name_; }
  Display* X() const { return display_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
  Display* display_ = nullptr;
  int width_;
  int height_;
};

// The real quellar program, started with its own settings and runtime folders.
class QuellarProcess {
 public:
  QuellarProcess(const std::string& display, const std::string& configHome,
                 const std::string& runtimeDir, const std::vector<std::string>& arguments,
                 const std::map<std::string, std::string>& extraEnvironment = {});
  ~QuellarProcess();

  pid_t Pid() const { return pid_; }
  // The exit status (0..255) once ended within the time, nothing otherwise.
  std::optional<int> WaitForExit(Milliseconds timeout);
  bool Running();
  void Signal(int signal);
  // Processor time used so far, in milliseconds.
  long CpuMilliseconds() const;
  // What the program wrote to its standard error so far.
  std::string ErrorOutput() const;

 private:
  pid_t pid_ = -1;
  std::string errorPath_;
  std::optional<int> status_;
};

// The settings key of a test, written as the registry file.
void WriteSettings(const std::string& configHome, const std::vector<std::string>& lines);

// Runs xdotool against the display; true when it succeeded.
bool XdoTool(const std::string& display, const std::string& arguments);

// The window of that title among the root's children, 0 when there is none.
Window FindTopLevel(Display* x, const char* title);
// Waits until the window exists.
Window WaitForTopLevel(Display* x, const char* title, Milliseconds timeout);
// The topmost child of the root.
Window TopOfStack(Display* x);

struct Area {
  int x, y, width, height;
};
// Pixels of the region that are not black, and those that are nearly white.
struct PixelCount {
  long lit = 0;
  long white = 0;
  long total = 0;
};
PixelCount CountPixels(Display* x, Window window, Area region);
// Waits until at least `fraction` of the region's pixels are lit.
bool WaitForLitPixels(Display* x, Window window, Area region, double fraction,
                      Milliseconds timeout);

std::string QuellarBinary();
