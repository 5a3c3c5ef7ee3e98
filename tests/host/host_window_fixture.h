#pragma once
#include <gtest/gtest.h>

#include <cstdlib>

#include "host/host_state.h"
#include "host/saver_class_proc.h"
#include "platform/sys/dynamic_module.h"
#include "platform/sys/platform_identity.h"
#include "platform/win/application.h"
#include "platform/win/message_loop.h"
#include "platform/win/window.h"

// A hidden window whose procedure hands everything to the host's default
// saver procedure, so the rules can be driven one message at a time and what
// they post read back from the queue.
inline LRESULT HostTestProc(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE || message == WM_DESTROY || message == WM_CLOSE) {
    return DefWindowProc(window, message, wParam, lParam);
  }
  return DefaultSaverProc(window, message, wParam, lParam);
}

class HostWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display";
    static char name[] = "host_tests";
    char* argv[] = {name, nullptr};
    EnsureGuiApplication(1, argv);
    static bool registered = RegisterClass({0, &HostTestProc, "QuellarHostTestClass"});
    ASSERT_TRUE(registered);
    window = CreateWindowEx(0, "QuellarHostTestClass", "host test", WS_POPUP, 0, 0, 64, 64, 0);
    ASSERT_NE(window, 0u);
    ResetHostState();
    DrainCloses();
  }

  void TearDown() override {
    if (window != 0) DestroyWindow(window);
    ResetHostState();
    UnregisterFakeModules();
    ResetPlatformIdentityForTesting();
  }

  // How many WM_CLOSE the rules posted since the last look.
  int DrainCloses() {
    int count = 0;
    MSG message;
    while (PeekMessage(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE)) ++count;
    return count;
  }

  LRESULT Send(uint32_t message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return DefaultSaverProc(window, message, wParam, lParam);
  }

  HWND window = 0;
};
