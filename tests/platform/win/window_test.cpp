// clang-format off
#include <gtest/gtest.h>
#include <X11/Xlib.h>
// clang-format on

#include "platform/win/cursor.h"
#include "platform/win/x_server.h"
#include "win_test_support.h"

namespace {

// The saver's own shape of window: topmost, covering the screen. That it covers
// the screen on top at the start and that keys and the pointer end it is seen
// end to end.
class FullScreenWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    SKIP_WITHOUT_DISPLAY();
    ClearLog();
    RECT screen;
    ASSERT_TRUE(GetScreenClipBox(&screen));
    window_ =
        CreateWindowEx(WS_EX_TOPMOST, TestClass(), "Screen Saver",
                       WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, screen.left,
                       screen.top, screen.right - screen.left, screen.bottom - screen.top, 0);
    ASSERT_NE(window_, 0u);
    SetForegroundWindow(window_);
    PumpUntil([this] { return GetForegroundWindow() == window_; }, 2000);
  }
  void TearDown() override {
    if (window_) DestroyWindow(window_);
  }
  HWND window_ = 0;
  OtherProgram other_;
};

// A window of another program that comes over it is covered again.
TEST_F(FullScreenWindow, StaysInFront) {
  Window cover = other_.CreateWindow(100, 100, 200, 200, true);
  XRaiseWindow(other_.display(), cover);
  other_.Sync();
  EXPECT_TRUE(PumpUntil([&] {
    auto tree = XServer::Get()->QueryTree(XServer::Get()->Root());
    return tree && !tree->children.empty() && tree->children.back() == window_;
  }));
}

TEST_F(FullScreenWindow, HoldsTheGrabsUntilCloseDestroysIt) {
  Window root = DefaultRootWindow(other_.display());
  EXPECT_EQ(XGrabKeyboard(other_.display(), root, False, GrabModeAsync, GrabModeAsync, CurrentTime),
            AlreadyGrabbed);
  EXPECT_EQ(XGrabPointer(other_.display(), root, False, 0, GrabModeAsync, GrabModeAsync, None, None,
                         CurrentTime),
            AlreadyGrabbed);
  PostMessage(window_, WM_CLOSE, 0, 0);
  ASSERT_TRUE(PumpUntil([] { return Logged(WM_DESTROY); }));
  EXPECT_FALSE(IsWindow(std::exchange(window_, 0)));
  EXPECT_EQ(Log(WM_DESTROY).size(), 1u);
  EXPECT_EQ(XGrabKeyboard(other_.display(), root, False, GrabModeAsync, GrabModeAsync, CurrentTime),
            GrabSuccess);
  XUngrabKeyboard(other_.display(), CurrentTime);
  other_.Sync();
}

TEST_F(FullScreenWindow, LosingTheFocusToAnotherProgramDeactivatesTheApplication) {
  Window elsewhere = other_.CreateWindow(0, 0, 40, 40, true);
  XSetInputFocus(other_.display(), elsewhere, RevertToParent, CurrentTime);
  other_.Sync();
  ASSERT_TRUE(PumpUntil(
      [] { return Logged(WM_ACTIVATEAPP, [](const Recorded& r) { return !r.wParam; }); }));
  auto activate = Log(WM_ACTIVATE);
  ASSERT_FALSE(activate.empty());
  EXPECT_EQ(activate.back().wParam, WA_INACTIVE);
  EXPECT_EQ(GetForegroundWindow(), elsewhere);
}

TEST(Windows, NonWindowsAreNoWindowsAndMakeNone) {
  SKIP_WITHOUT_DISPLAY();
  EXPECT_FALSE(IsWindow(0));
  EXPECT_FALSE(IsWindow(99999999));
  EXPECT_FALSE(IsWindow(0xFFFFFFFFFFul));
  RECT rect{1, 2, 3, 4};
  EXPECT_FALSE(GetWindowRect(99999999, &rect));
  EXPECT_FALSE(IsWindowVisible(99999999));
  EXPECT_FALSE(SetWindowPos(99999999, HWND_TOP, 0, 0, 10, 10, 0));
  EXPECT_EQ(GetParent(99999999), 0u);
  EXPECT_FALSE(DestroyWindow(99999999));
  EXPECT_FALSE(SetForegroundWindow(99999999));
  EXPECT_FALSE(PostMessage(99999999, WM_USER, 0, 0));
  EXPECT_EQ(SendMessage(99999999, WM_USER, 0, 0), 0);
  EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", WS_POPUP, 0, 0, 10, 10, 0), 0u);
  EXPECT_EQ(CreateWindowEx(0, TestClass(), "", WS_CHILD, 0, 0, 10, 10, 99999999), 0u);
  EXPECT_FALSE(RegisterClass(WNDCLASS{0, DefWindowProc, TestClass()}));
  // The root window is a window, though none of ours.
  OtherProgram other;
  EXPECT_TRUE(IsWindow(DefaultRootWindow(other.display())));
}

}  // namespace
