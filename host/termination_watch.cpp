#include "host/termination_watch.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/win/message_loop.h"

namespace {

// The handler writes the signal's number; this byte is no signal's.
constexpr char kQuit = 'Q';
constexpr int kSignals[] = {SIGTERM, SIGINT};

std::atomic<int> signalPipe{-1};
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
  }
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
