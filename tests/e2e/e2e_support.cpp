#include "e2e_support.h"

#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace {

// The test's own environment with the changes made; an empty value removes.
std::vector<std::string> Environment(const std::map<std::string, std::string>& changes) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    std::string entry(*e);
    if (changes.count(entry.substr(0, entry.find('='))) == 0) env.push_back(entry);
  }
  for (const auto& [name, value] : changes)
    if (!value.empty()) env.push_back(name + "=" + value);
  return env;
}

// Every process a test starts dies with the thread that started it, however the
// test ends: the kernel sends it SIGKILL, and a child that finds us gone ends at once.
pid_t Spawn(std::vector<std::string> argv, std::vector<std::string> env,
            const std::string& errorPath = "") {
  auto pointers = [](std::vector<std::string>& strings) {
    std::vector<char*> result;
    for (auto& s : strings) result.push_back(s.data());
    result.push_back(nullptr);
    return result;
  };
  auto args = pointers(argv);
  auto envp = pointers(env);
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid != 0) return pid;
  if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) _exit(127);
  // A test run in the background of a shell ignores SIGINT, and the child would
  // inherit that: a saver sent SIGINT before its handler is in place lived on.
  for (int ignored : {SIGINT, SIGQUIT, SIGHUP}) signal(ignored, SIG_DFL);
  if (!errorPath.empty()) {
    const int fd = open(errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd >= 0) dup2(fd, 2);
    const int out = open((errorPath + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out >= 0) dup2(out, 1);
  }
  execvpe(args[0], args.data(), envp.data());
  _exit(127);
}

// A process that does not end on the signal within 3 s is killed.
void Stop(pid_t pid, int signal) {
  kill(pid, signal);
  const bool ended = WaitUntil([&] { return waitpid(pid, nullptr, WNOHANG) == pid; },
                               Milliseconds(3000), Milliseconds(5));
  if (ended) return;
  kill(pid, SIGKILL);
  while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

XvfbServer::XvfbServer(int width, int height) {
  Start({"Xvfb", "-screen", "0", std::to_string(width) + "x" + std::to_string(height) + "x24"}, "");
}

XvfbServer::XvfbServer(const std::string& host, int monitors, int width, int height) {
  std::vector<std::string> command = {"Xephyr", "+xinerama"};
  for (int i = 0; i < monitors; ++i)
    command.insert(command.end(),
                   {"-screen", std::to_string(width) + "x" + std::to_string(height) + "x24"});
  Start(command, host);
}

void XvfbServer::Start(std::vector<std::string> command, const std::string& host) {
  int ends[2];
  if (pipe(ends) != 0) return;
  command.insert(command.end(),
                 {"-displayfd", std::to_string(ends[1]), "-nolisten", "tcp", "-noreset"});
  pid_ = Spawn(command, Environment({{"DISPLAY", host}}));
  close(ends[1]);  // a server that did not start leaves the number empty
  std::string number;
  char c;
  while (read(ends[0], &c, 1) == 1 && c != '\n') number += c;
  close(ends[0]);
  if (number.empty()) return;
  name_ = ":" + number;
  display_ = XOpenDisplay(name_.c_str());
}

XvfbServer::~XvfbServer() {
  if (display_ != nullptr) XCloseDisplay(display_);
  if (pid_ > 0) Stop(pid_, SIGTERM);
}

QuellarProcess::QuellarProcess(const std::map<std::string, std::string>& environment,
                               const std::vector<std::string>& arguments,
                               const std::string& errorPath, const std::string& binary)
    : errorPath_(errorPath) {
  std::vector<std::string> argv = {binary};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  pid_ = Spawn(argv, Environment(environment), errorPath_);
}

QuellarProcess::~QuellarProcess() {
  if (pid_ > 0 && !status_) Stop(pid_, SIGKILL);
}

std::optional<int> QuellarProcess::WaitForExit(Milliseconds timeout) {
  auto ended = [&] {
    int raw = 0;
    if (status_ || waitpid(pid_, &raw, WNOHANG) != pid_) return status_.has_value();
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    endingSignal_ = WIFSIGNALED(raw) ? WTERMSIG(raw) : 0;
    return true;
  };
  WaitUntil(ended, timeout, Milliseconds(5));
  return status_;
}

std::vector<Window> Children(Display* x, Window parent) {
  Window root = 0, up = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(x, parent, &root, &up, &children, &count)) return {};
  std::vector<Window> result(children, children + count);
  if (children) XFree(children);
  return result;
}

Window FindTopLevel(Display* x, const char* title) {
  for (Window child : Children(x, DefaultRootWindow(x))) {
    char* name = nullptr;
    if (!XFetchName(x, child, &name) || name == nullptr) continue;
    bool same = std::strcmp(name, title) == 0;
    XFree(name);
    if (same) return child;
  }
  return 0;
}

Window TopOfStack(Display* x) {
  auto children = Children(x, DefaultRootWindow(x));
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(x, *it, &attributes) && attributes.map_state == IsViewable) return *it;
  }
  return 0;
}

std::vector<unsigned long> Pixels(Display* x, Window window, Area region) {
  XImage* image =
      XGetImage(x, window, region.x, region.y, region.width, region.height, AllPlanes, ZPixmap);
  if (image == nullptr) return {};
  std::vector<unsigned long> pixels;
  for (int yy = 0; yy < region.height; ++yy)
    for (int xx = 0; xx < region.width; ++xx) pixels.push_back(XGetPixel(image, xx, yy) & 0xFFFFFF);
  XDestroyImage(image);
  return pixels;
}

PixelCount CountPixels(Display* x, Window window, Area region) {
  PixelCount count;
  for (unsigned long pixel : Pixels(x, window, region)) {
    int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    if (r + g + b > 30) ++count.lit;
    if (r > 200 && g > 200 && b > 200) ++count.white;
  }
  return count;
}
