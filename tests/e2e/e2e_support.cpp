#include "e2e_support.h"

#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace {

std::vector<char*> CStrings(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (auto& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

pid_t Spawn(std::vector<std::string> argv, std::vector<std::string> env,
            const std::string& errorPath = "") {
  auto args = CStrings(argv);
  auto envp = CStrings(env);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!errorPath.empty()) {
    posix_spawn_file_actions_addopen(&actions, 2, errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
  }
  pid_t pid = -1;
  int failed = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return failed != 0 ? -1 : pid;
}

std::vector<std::string> InheritedEnvironment(const std::map<std::string, std::string>& changes) {
  std::map<std::string, std::string> all;
  for (char** e = environ; *e != nullptr; ++e) {
    std::string entry(*e);
    auto eq = entry.find('=');
    if (eq != std::string::npos) all[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  for (const auto& [name, value] : changes) {
    if (value.empty()) {
      all.erase(name);
    } else {
      all[name] = value;
    }
  }
  std::vector<std::string> env;
  for (const auto& [name, value] : all) env.push_back(name + "=" + value);
  return env;
}

}  // namespace

XvfbServer::XvfbServer(int width, int height) : width_(width), height_(height) {
  int ends[2];
  if (pipe(ends) != 0) return;
  std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  std::vector<std::string> argv = {"Xvfb",      "-displayfd", std::to_string(ends[1]),
                                   "-screen",   "0",          screen,
                                   "-nolisten", "tcp",        "-noreset"};
  pid_ = Spawn(argv, InheritedEnvironment({}));
  close(ends[1]);
  std::string number;
  char c;
  while (read(ends[0], &c, 1) == 1 && c != '\n') number += c;
  close(ends[0]);
  if (pid_ < 0 || number.empty()) return;
  name_ = ":" + number;
  display_ = XOpenDisplay(name_.c_str());
}

XvfbServer::~XvfbServer() {
  if (display_ != nullptr) XCloseDisplay(display_);
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

QuellarProcess::QuellarProcess(const std::string& display, const std::string& configHome,
                               const std::string& runtimeDir,
                               const std::vector<std::string>& arguments,
                               const std::map<std::string, std::string>& extraEnvironment) {
  std::map<std::string, std::string> env = {{"DISPLAY", display},
                                            {"XDG_CONFIG_HOME", configHome},
                                            {"XDG_RUNTIME_DIR", runtimeDir},
                                            {"QT_QPA_PLATFORM", ""},
                                            {"XSCREENSAVER_WINDOW", ""}};
  for (const auto& [name, value] : extraEnvironment) env[name] = value;
  std::vector<std::string> argv = {QuellarBinary()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  static int serial = 0;
  errorPath_ = runtimeDir + "/stderr-" + std::to_string(++serial) + ".txt";
  pid_ = Spawn(argv, InheritedEnvironment(env), errorPath_);
}

QuellarProcess::~QuellarProcess() {
  if (pid_ > 0 && !status_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

std::optional<int> QuellarProcess::WaitForExit(Milliseconds timeout) {
  auto deadline = Clock::now() + timeout;
  while (!status_) {
    int raw = 0;
    pid_t done = waitpid(pid_, &raw, WNOHANG);
    if (done == pid_) {
      status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
      break;
    }
    if (Clock::now() >= deadline) break;
    std::this_thread::sleep_for(Milliseconds(5));
  }
  return status_;
}

bool QuellarProcess::Running() {
  return !WaitForExit(Milliseconds(0)).has_value();
}

void QuellarProcess::Signal(int signal) {
  if (pid_ > 0 && !status_) kill(pid_, signal);
}

long QuellarProcess::CpuMilliseconds() const {
  std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  auto close = text.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) utime = std::stol(field);
    if (i == 15) stime = std::stol(field);
  }
  return (utime + stime) * 1000 / sysconf(_SC_CLK_TCK);
}

std::string QuellarProcess::ErrorOutput() const {
  std::ifstream file(errorPath_);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void WriteSettings(const std::string& configHome, const std::vector<std::string>& lines) {
  std::filesystem::path folder = std::filesystem::path(configHome) / "Software/Varune/Quellar";
  std::filesystem::create_directories(folder);
  std::ofstream file(folder / "Settings.reg");
  for (const auto& line : lines) file << line << "\n";
}

bool XdoTool(const std::string& display, const std::string& arguments) {
  std::string command =
      "DISPLAY=" + display + " timeout 10 xdotool " + arguments + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

Window FindTopLevel(Display* x, const char* title) {
  Window root = DefaultRootWindow(x), parent = 0, *children = nullptr;
  unsigned count = 0;
  Window found = 0;
  if (!XQueryTree(x, root, &root, &parent, &children, &count)) return 0;
  for (unsigned i = 0; i < count && found == 0; ++i) {
    char* name = nullptr;
    if (XFetchName(x, children[i], &name) && name != nullptr) {
      if (std::strcmp(name, title) == 0) found = children[i];
      XFree(name);
    }
  }
  if (children) XFree(children);
  return found;
}

Window WaitForTopLevel(Display* x, const char* title, Milliseconds timeout) {
  auto deadline = Clock::now() + timeout;
  for (;;) {
    Window w = FindTopLevel(x, title);
    if (w != 0 || Clock::now() >= deadline) return w;
    std::this_thread::sleep_for(Milliseconds(50));
  }
}

Window TopOfStack(Display* x) {
  Window root = DefaultRootWindow(x), parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(x, root, &root, &parent, &children, &count) || count == 0) return 0;
  Window top = 0;
  for (unsigned i = count; i-- > 0 && top == 0;) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(x, children[i], &attributes) && attributes.map_state == IsViewable) {
      top = children[i];
    }
  }
  XFree(children);
  return top;
}

PixelCount CountPixels(Display* x, Window window, Area region) {
  PixelCount count;
  XImage* image =
      XGetImage(x, window, region.x, region.y, region.width, region.height, AllPlanes, ZPixmap);
  if (image == nullptr) return count;
  for (int yy = 0; yy < region.height; ++yy) {
    for (int xx = 0; xx < region.width; ++xx) {
      unsigned long pixel = XGetPixel(image, xx, yy);
      int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
      ++count.total;
      if (r + g + b > 30) ++count.lit;
      if (r > 200 && g > 200 && b > 200) ++count.white;
    }
  }
  XDestroyImage(image);
  return count;
}

bool WaitForLitPixels(Display* x, Window window, Area region, double fraction,
                      Milliseconds timeout) {
  auto deadline = Clock::now() + timeout;
  for (;;) {
    PixelCount count = CountPixels(x, window, region);
    if (count.total > 0 && count.lit >= fraction * count.total) return true;
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(Milliseconds(100));
  }
}

std::string QuellarBinary() {
  return std::string(QUELLAR_BINARY_DIR) + "/bin/quellar";
}
