// clang-format off
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
// clang-format on

#include <vector>

#include "win_test_support.h"

namespace {

class ForeignWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    SKIP_WITHOUT_DISPLAY();
    ClearLog();
    ASSERT_NE(other_.display(), nullptr);
  }
  OtherProgram other_;
};

TEST_F(ForeignWindows, AChildFillsItsParentAndGoesWithIt) {
  Window parent = other_.CreateWindow(50, 60, 320, 240, true);
  RECT parentClient;
  ASSERT_TRUE(GetClientRect(parent, &parentClient));
  EXPECT_EQ(parentClient, (RECT{0, 0, 320, 240}));
  HWND child = CreateWindowEx(0, TestClass(), "Preview", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                              0, parentClient.right, parentClient.bottom, parent);
  ASSERT_NE(child, 0u);
  EXPECT_EQ(GetParent(child), parent);
  RECT rect;
  ASSERT_TRUE(GetWindowRect(child, &rect));
  EXPECT_EQ(rect, (RECT{50, 60, 370, 300}));
  POINT origin{0, 0};
  ASSERT_TRUE(ClientToScreen(child, &origin));
  EXPECT_EQ(origin, (POINT{50, 60}));
  EXPECT_TRUE(IsWindowVisible(child));
  // A preview never takes the focus away from anyone.
  EXPECT_NE(GetForegroundWindow(), child);

  XDestroyWindow(other_.display(), parent);
  other_.Sync();
  ASSERT_TRUE(PumpUntil([] { return !Log(WM_DESTROY).empty(); }));
  auto destroyed = Log(WM_DESTROY);
  ASSERT_EQ(destroyed.size(), 1u);
  EXPECT_EQ(destroyed[0].window, child);
  EXPECT_FALSE(IsWindow(child));
  EXPECT_FALSE(DestroyWindow(child));
}

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
  XDestroyWindow(d, parent);
  other_.Sync();
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

  for (Window w : {top, middle, bottom}) XDestroyWindow(other_.display(), w);
  other_.Sync();
}

}  // namespace
