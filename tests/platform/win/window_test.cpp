// clang-format off
#include <gtest/gtest.h>
#include <X11/Xlib.h>
// clang-format on

#include "platform/win/cursor.h"
#include "win_test_support.h"

namespace {

// The saver's own shape of window: topmost, covering the screen.
class FullScreenWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    SKIP_WITHOUT_DISPLAY();
    ClearLog();
    ASSERT_TRUE(GetScreenClipBox(&screen_));
    window_ =
        CreateWindowEx(WS_EX_TOPMOST, TestClass(), "Screen Saver",
                       WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, screen_.left,
                       screen_.top, screen_.right - screen_.left, screen_.bottom - screen_.top, 0);
    ASSERT_NE(window_, 0u);
    SetForegroundWindow(window_);
    PumpUntil([this] { return GetForegroundWindow() == window_; }, 2000);
  }
  void TearDown() override {
    if (window_) DestroyWindow(window_);
  }
  static bool Received(uint32_t message) { return Logged(message); }
  RECT screen_;
  HWND window_ = 0;
};

// In front when made, and back on top of a window of another program that covers it.
TEST_F(FullScreenWindow, CoversTheScreenAndStaysInFront) {
  RECT rect;
  ASSERT_TRUE(GetWindowRect(window_, &rect));
  EXPECT_EQ(rect, screen_);
  EXPECT_TRUE(IsWindowVisible(window_));
  EXPECT_EQ(GetForegroundWindow(), window_);
  // Creation, then showing, in the order the system sends them.
  auto all = Log();
  ASSERT_GE(all.size(), 2u);
  EXPECT_EQ(all[0].message, WM_CREATE);
  EXPECT_EQ(all[1].message, WM_SHOWWINDOW);
  EXPECT_EQ(all[1].wParam, 1u);
  EXPECT_TRUE(PumpUntil([this] { return Received(WM_PAINT); }));
  OtherProgram other;
  Window cover = other.CreateWindow(100, 100, 200, 200, true);
  XRaiseWindow(other.display(), cover);
  other.Sync();
  EXPECT_TRUE(PumpUntil([&] {
    Window rootReturn, parent, *children = nullptr;
    unsigned count = 0;
    XQueryTree(other.display(), DefaultRootWindow(other.display()), &rootReturn, &parent, &children,
               &count);
    bool onTop = count > 0 && children[count - 1] == window_;
    XFree(children);
    return onTop;
  }));
}

TEST_F(FullScreenWindow, PointerKeysAndButtonsBecomeTheirMessages) {
  RunXdotool("mousemove 321 123");
  ASSERT_TRUE(PumpUntil([] {
    return Logged(WM_MOUSEMOVE, [](const Recorded& r) {
      return GET_X_LPARAM(r.lParam) == 321 && GET_Y_LPARAM(r.lParam) == 123;
    });
  }));
  POINT cursor;
  ASSERT_TRUE(GetCursorPos(&cursor));
  EXPECT_EQ(cursor, (POINT{321, 123}));
  RunXdotool("key a");
  ASSERT_TRUE(PumpUntil([this] { return Received(WM_KEYDOWN) && Received(WM_KEYUP); }));
  EXPECT_EQ(Log(WM_KEYDOWN)[0].wParam, static_cast<WPARAM>('A'));
  RunXdotool("key Escape");
  ASSERT_TRUE(PumpUntil([] { return Log(WM_KEYDOWN).size() >= 2; }));
  EXPECT_EQ(Log(WM_KEYDOWN)[1].wParam, static_cast<WPARAM>(VK_ESCAPE));
  RunXdotool("key alt+x");
  EXPECT_TRUE(PumpUntil([this] { return Received(WM_SYSKEYDOWN); }));
  RunXdotool("mousemove 10 20 click 1 click 3 click 2");
  ASSERT_TRUE(PumpUntil([this] {
    return Received(WM_LBUTTONDOWN) && Received(WM_RBUTTONDOWN) && Received(WM_MBUTTONDOWN);
  }));
  auto left = Log(WM_LBUTTONDOWN)[0];
  EXPECT_EQ(GET_X_LPARAM(left.lParam), 10);
  EXPECT_EQ(GET_Y_LPARAM(left.lParam), 20);
  EXPECT_TRUE(left.wParam & MK_LBUTTON);
}

TEST_F(FullScreenWindow, HoldsTheGrabsUntilCloseDestroysIt) {
  OtherProgram other;
  ASSERT_NE(other.display(), nullptr);
  Window root = DefaultRootWindow(other.display());
  EXPECT_EQ(XGrabKeyboard(other.display(), root, False, GrabModeAsync, GrabModeAsync, CurrentTime),
            AlreadyGrabbed);
  EXPECT_EQ(XGrabPointer(other.display(), root, False, 0, GrabModeAsync, GrabModeAsync, None, None,
                         CurrentTime),
            AlreadyGrabbed);
  PostMessage(window_, WM_CLOSE, 0, 0);
  ASSERT_TRUE(PumpUntil([] { return Received(WM_DESTROY); }));
  EXPECT_FALSE(IsWindow(std::exchange(window_, 0)));
  EXPECT_EQ(Log(WM_DESTROY).size(), 1u);
  EXPECT_EQ(XGrabKeyboard(other.display(), root, False, GrabModeAsync, GrabModeAsync, CurrentTime),
            GrabSuccess);
  XUngrabKeyboard(other.display(), CurrentTime);
  other.Sync();
}

TEST_F(FullScreenWindow, LosingTheFocusToAnotherProgramDeactivatesTheApplication) {
  OtherProgram other;
  Window elsewhere = other.CreateWindow(0, 0, 40, 40, true);
  XSetInputFocus(other.display(), elsewhere, RevertToParent, CurrentTime);
  other.Sync();
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
