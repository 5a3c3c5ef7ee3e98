#include "host/termination_watch.h"

#include <fcntl.h>
#include <signal.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/win/message_loop.h"

namespace {

// The handler writes the signal's number; this byte is no signal's.
constexpr char kQuit = 'Q';
constexpr int kSignals[] = {SIGTERM, SIGINT};

// A clean end puts back what the saver changed and stops its threads; it takes
// milliseconds, unless the window thread is deep in work nothing can cut
// short (the GL driver building its first shaders, for seconds on a busy
// machine). An end that has not come by then is not waited for: the X server
// takes the windows and grabs away with the connection, and the lock and the
// parser child go with the process.
constexpr int kLateEndMs = 250;

std::atomic<int> signalPipe{-1};
std::atomic<bool> lateEndArmed{false};
std::atomic<bool> lateEndBySignal{false};
struct sigaction previousActions[2];

void OnTerminationSignal(int signal) {
  int saved = errno;
  int fd = signalPipe.load();
  if (fd >= 0) {
    const char number = char(signal);
    [[maybe_unused]] ssize_t written = write(fd, &number, 1);
  }
  errno = saved;
}

}  // namespace

TerminationWatch::TerminationWatch() {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return;
  readEnd_ = ends[0];
  writeEnd_ = ends[1];
  fcntl(writeEnd_, F_SETFL, O_NONBLOCK);
  signalPipe = writeEnd_;
  struct sigaction action {};
  action.sa_handler = &OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < 2; ++i) sigaction(kSignals[i], &action, &previousActions[i]);
  watcher_ = std::thread([this] { Watch(); });
}

TerminationWatch::~TerminationWatch() {
  if (readEnd_ < 0) return;
  for (int i = 0; i < 2; ++i) sigaction(kSignals[i], &previousActions[i], nullptr);
  signalPipe = -1;
  [[maybe_unused]] ssize_t written = write(writeEnd_, &kQuit, 1);
  if (watcher_.joinable()) watcher_.join();
  close(readEnd_);
  close(writeEnd_);
}

void TerminationWatch::CloseOnRequest(HWND window) {
  window_ = window;
  if (Requested()) Close();
}

void TerminationWatch::Watch() {
  for (;;) {
    char byte = 0;
    ssize_t got = read(readEnd_, &byte, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0 || byte == kQuit) return;
    int expected = 0;
    signal_.compare_exchange_strong(expected, byte);
    Close();
    if (!lateEndArmed.load()) continue;
    if (QuitWithin(kLateEndMs)) return;
    if (lateEndBySignal.load()) EndBySignal(Signal());
    std::fflush(nullptr);
    std::_Exit(0);
  }
}

// True when the watch is taken down (the clean end came) within the time.
bool TerminationWatch::QuitWithin(int milliseconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd ready{readEnd_, POLLIN, 0};
    const int got = poll(&ready, 1, static_cast<int>(left.count()));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    char byte = 0;
    if (read(readEnd_, &byte, 1) == 1 && byte == kQuit) return true;
  }
}

void ArmLateEnd() {
  lateEndArmed = true;
}

void EndLateBySignal(bool bySignal) {
  lateEndBySignal = bySignal;
}

void EndBySignal(int signal) {
  std::fflush(nullptr);
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  raise(signal);
  std::_Exit(128 + signal);
}

void TerminationWatch::Close() {
  HWND window = window_.load();
  if (window != 0) PostMessage(window, WM_CLOSE, 0, 0);
}
