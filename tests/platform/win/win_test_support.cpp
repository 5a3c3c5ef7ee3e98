#include "win_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>

#include "platform/win/application.h"
#include "platform/win/x_server.h"

namespace {

std::mutex logMutex;
std::vector<Recorded> logged;

LRESULT RecordingProc(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
  {
    std::lock_guard lock(logMutex);
    logged.push_back({window, message, wParam, lParam});
  }
  return DefWindowProc(window, message, wParam, lParam);
}

class ApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static char name[] = "win_tests";
    char* argv[] = {name, nullptr};
    EnsureGuiApplication(1, argv);
  }
};

const auto* environment = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

constexpr uintptr_t kPumpTimer = 0x7E57;

}  // namespace

void ClearLog() {
  std::lock_guard lock(logMutex);
  logged.clear();
}

std::vector<Recorded> Log(uint32_t message) {
  std::lock_guard lock(logMutex);
  std::vector<Recorded> found;
  for (const Recorded& r : logged)
    if (message == 0 || r.message == message) found.push_back(r);
  return found;
}

bool Logged(uint32_t message, const std::function<bool(const Recorded&)>& match) {
  for (const Recorded& r : Log(message))
    if (!match || match(r)) return true;
  return false;
}

const char* TestClass() {
  static const bool registered = RegisterClass(WNDCLASS{
      CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, RecordingProc, "QuellarTestWindow"});
  (void)registered;
  return "QuellarTestWindow";
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  SetTimer(0, kPumpTimer, 20);
  MSG message;
  while (!done() && std::chrono::steady_clock::now() < deadline) {
    if (GetMessage(&message, 0, 0, 0) <= 0) break;
    DispatchMessage(&message);
  }
  KillTimer(0, kPumpTimer);
  return done();
}

bool HaveDisplay() {
  return XServer::Get() != nullptr;
}

OtherProgram::OtherProgram() : display_(XOpenDisplay(nullptr)) {}

OtherProgram::~OtherProgram() {
  if (display_) XCloseDisplay(display_);
}

Window OtherProgram::CreateWindow(int x, int y, int width, int height, bool bypassManager) {
  XSetWindowAttributes attributes{};
  attributes.override_redirect = bypassManager ? True : False;
  attributes.background_pixel = WhitePixel(display_, DefaultScreen(display_));
  Window window =
      XCreateWindow(display_, DefaultRootWindow(display_), x, y, static_cast<unsigned>(width),
                    static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                    CWOverrideRedirect | CWBackPixel, &attributes);
  XMapWindow(display_, window);
  XSync(display_, False);
  return window;
}
