#include "saver/window_layout_guard.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

// A desktop of plain records, top of the stacking order first.
class FakeDesktop : public WindowLayoutCalls {
 public:
  struct Window {
    HWND id;
    RECT rect;
    bool visible = true;
  };

  std::vector<Window> stack;
  HWND foreground = 0;
  std::vector<std::pair<HWND, RECT>> moves;

  Window* Find(HWND id) {
    for (auto& w : stack)
      if (w.id == id) return &w;
    return nullptr;
  }

  HWND GetForegroundWindow() override { return foreground; }
  bool IsWindowVisible(HWND window) override { return Find(window) && Find(window)->visible; }
  HWND GetNextWindow(HWND window) override {
    for (size_t i = 0; i + 1 < stack.size(); ++i)
      if (stack[i].id == window) return stack[i + 1].id;
    return 0;
  }
  bool GetWindowRect(HWND window, RECT* rect) override {
    Window* w = Find(window);
    if (!w) return false;
    *rect = w->rect;
    return true;
  }
  void MoveWindow(HWND window, const RECT& rect) override {
    moves.push_back({window, rect});
    if (Window* w = Find(window)) w->rect = rect;
  }
};

class WindowLayoutGuardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    desktop.stack = {{10, {0, 0, 50, 50}},      // a topmost window above the foreground
                     {11, {10, 10, 400, 300}},  // foreground
                     {12, {20, 20, 200, 100}, false},
                     {13, {-5, 0, 800, 600}},
                     {14, {100, 100, 300, 300}}};
    desktop.foreground = 11;
  }
  FakeDesktop desktop;
};

TEST_F(WindowLayoutGuardTest, RecordsTheForegroundWindowAndTheVisibleOnesBelow) {
  WindowLayoutGuard guard(desktop);
  EXPECT_EQ(guard.SnapshotCount(), 3u);  // 11, 13, 14
}

TEST_F(WindowLayoutGuardTest, NothingWithoutAForegroundWindow) {
  desktop.foreground = 0;
  WindowLayoutGuard guard(desktop);
  guard.SetRestoreEnabled(true);
  desktop.Find(13)->rect = {0, 0, 640, 480};
  guard.RestoreWindows();
  EXPECT_EQ(guard.SnapshotCount(), 0u);
  EXPECT_TRUE(desktop.moves.empty());
}

TEST_F(WindowLayoutGuardTest, AFullScreenRunWhereNothingMovedMovesNothing) {
  WindowLayoutGuard guard(desktop);
  guard.SetRestoreEnabled(true);
  guard.RestoreWindows();
  EXPECT_TRUE(desktop.moves.empty());
  EXPECT_EQ(guard.SnapshotCount(), 0u);
}

TEST_F(WindowLayoutGuardTest, PutsBackMovedAndResizedWindowsBottomUp) {
  WindowLayoutGuard guard(desktop);
  guard.SetRestoreEnabled(true);
  desktop.Find(11)->rect = {0, 0, 390, 290};      // moved only
  desktop.Find(14)->rect = {100, 100, 200, 150};  // resized only
  desktop.Find(12)->rect = {0, 0, 1, 1};          // hidden at the snapshot: never touched
  desktop.Find(10)->rect = {1, 1, 2, 2};          // above the foreground: never touched
  guard.RestoreWindows();
  ASSERT_EQ(desktop.moves.size(), 2u);
  EXPECT_EQ(desktop.moves[0].first, 14u);
  EXPECT_EQ(desktop.moves[0].second, (RECT{100, 100, 300, 300}));
  EXPECT_EQ(desktop.moves[1].first, 11u);
  EXPECT_EQ(desktop.moves[1].second, (RECT{10, 10, 400, 300}));
}

TEST_F(WindowLayoutGuardTest, AWindowedRunRestoresNothingButStillEmpties) {
  WindowLayoutGuard guard(desktop);
  desktop.Find(13)->rect = {0, 0, 640, 480};
  guard.RestoreWindows();
  EXPECT_TRUE(desktop.moves.empty());
  EXPECT_EQ(guard.SnapshotCount(), 0u);
  EXPECT_FALSE(guard.RestoreEnabled());
}

TEST_F(WindowLayoutGuardTest, AWindowThatWentAwayDoesNotStopTheOthers) {
  WindowLayoutGuard guard(desktop);
  guard.SetRestoreEnabled(true);
  desktop.stack.erase(desktop.stack.begin() + 3);  // 13 is gone
  desktop.Find(11)->rect = {0, 0, 1, 1};
  guard.RestoreWindows();
  ASSERT_FALSE(desktop.moves.empty());
  EXPECT_EQ(desktop.moves.back().first, 11u);
  EXPECT_EQ(desktop.Find(11)->rect, (RECT{10, 10, 400, 300}));
}

}  // namespace
