// clang-format off
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
// clang-format on

#include <vector>

#include "win_test_support.h"

namespace {

// The other program's windows end with its connection, after each test.
class ForeignWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    SKIP_WITHOUT_DISPLAY();
    ClearLog();
    ASSERT_NE(other_.display(), nullptr);
  }
  OtherProgram other_;
};

TEST_F(ForeignWindows, AChildOfADeeperParentUsesTheDefaultVisual) {
  // A 32-bit parent, as a compositing desktop's preview pane can be.
  XVisualInfo info;
  Display* d = other_.display();
  if (!XMatchVisualInfo(d, DefaultScreen(d), 32, TrueColor, &info))
    GTEST_SKIP() << "no 32-bit visual";
  XSetWindowAttributes attributes{};
  attributes.colormap = XCreateColormap(d, DefaultRootWindow(d), info.visual, AllocNone);
  Window parent = XCreateWindow(d, DefaultRootWindow(d), 0, 0, 100, 80, 0, 32, InputOutput,
                                info.visual, CWColormap | CWBorderPixel | CWBackPixel, &attributes);
  XMapWindow(d, parent);
  other_.Sync();
  HWND child =
      CreateWindowEx(0, TestClass(), "Preview", WS_CHILD | WS_VISIBLE, 0, 0, 100, 80, parent);
  ASSERT_NE(child, 0u);
  XWindowAttributes childAttributes;
  ASSERT_TRUE(XGetWindowAttributes(d, child, &childAttributes));
  EXPECT_EQ(childAttributes.depth, DefaultDepth(d, DefaultScreen(d)));
  EXPECT_EQ(childAttributes.visual->visualid,
            XVisualIDFromVisual(DefaultVisual(d, DefaultScreen(d))));
  DestroyWindow(child);
}

TEST_F(ForeignWindows, ForegroundAndTheStackingWalkDownFromIt) {
  Window bottom = other_.CreateWindow(10, 10, 100, 100, true);
  Window middle = other_.CreateWindow(20, 20, 100, 100, true);
  Window top = other_.CreateWindow(30, 30, 100, 100, true);
  ASSERT_TRUE(SetForegroundWindow(bottom));  // another program's window to the front
  EXPECT_EQ(GetForegroundWindow(), bottom);
  EXPECT_EQ(GetWindow(bottom, GW_HWNDNEXT), top);
  ASSERT_TRUE(SetForegroundWindow(top));
  ASSERT_TRUE(SetForegroundWindow(middle));
  ASSERT_TRUE(SetForegroundWindow(top));

  std::vector<HWND> visible;
  for (HWND w = GetForegroundWindow(); w != 0; w = GetWindow(w, GW_HWNDNEXT))
    if (IsWindowVisible(w)) visible.push_back(w);
  ASSERT_GE(visible.size(), 3u);
  EXPECT_EQ(visible[0], top);
  EXPECT_EQ(visible[1], middle);
  EXPECT_EQ(visible[2], bottom);
}

}  // namespace
