#include "saver/window_layout_guard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// A desktop of plain records, top of the stacking order first.
struct FakeDesktop : WindowLayoutCalls {
  struct Window {
    HWND id;
    RECT rect;
    bool visible = true;
  };

  std::vector<Window> stack;
  HWND foreground = 0;
  std::vector<std::pair<HWND, RECT>> moves;

  Window* Find(HWND id) {
    auto w = std::find_if(stack.begin(), stack.end(), [&](const Window& w) { return w.id == id; });
    return w != stack.end() ? &*w : nullptr;
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
    if (w) *rect = w->rect;
    return w != nullptr;
  }
  void MoveWindow(HWND window, const RECT& rect) override {
    moves.push_back({window, rect});
    if (Window* w = Find(window)) w->rect = rect;
  }
};

// Each run: the desktop of five windows, what changed while the saver ran,
// and the moves that put it back, bottom of the stack first.
TEST(WindowLayoutGuard, PutsBackWhatMovedBelowTheForegroundOnlyAfterAFullScreenRun) {
  using Moves = std::vector<std::pair<HWND, RECT>>;
  struct Case {
    const char* name;
    HWND foreground;
    bool fullScreen;
    bool closeThirteen;
    Moves changes;
    Moves restored;
  };
  const RECT tiny{0, 0, 1, 1};
  for (const Case& c : std::initializer_list<Case>{
           {"nothing moved", 11, true, false, {}, {}},
           {"moved and resized; 12 was hidden and 10 above the foreground: never touched",
            11,
            true,
            false,
            {{11, {0, 0, 390, 290}}, {14, {100, 100, 200, 150}}, {12, tiny}, {10, tiny}},
            {{14, {100, 100, 300, 300}}, {11, {10, 10, 400, 300}}}},
           {"a windowed run", 11, false, false, {{13, tiny}}, {}},
           {"no foreground window", 0, true, false, {{13, tiny}}, {}},
           {"a window went away", 11, true, true, {{11, tiny}}, {{11, {10, 10, 400, 300}}}}}) {
    SCOPED_TRACE(c.name);
    FakeDesktop desktop;
    desktop.stack = {{10, {0, 0, 50, 50}},      // a topmost window above the foreground
                     {11, {10, 10, 400, 300}},  // foreground
                     {12, {20, 20, 200, 100}, false},
                     {13, {-5, 0, 800, 600}},
                     {14, {100, 100, 300, 300}}};
    desktop.foreground = c.foreground;
    WindowLayoutGuard guard(desktop);
    guard.SetRestoreEnabled(c.fullScreen);
    if (c.closeThirteen) desktop.stack.erase(desktop.stack.begin() + 3);
    for (const auto& [window, rect] : c.changes) desktop.Find(window)->rect = rect;
    guard.RestoreWindows();
    // A window that is gone may be asked to move; it must not stop the others.
    std::erase_if(desktop.moves, [&](const auto& move) { return !desktop.Find(move.first); });
    EXPECT_EQ(desktop.moves, c.restored);
    EXPECT_EQ(guard.SnapshotCount(), 0u);
  }
}

// More windows than one block of snapshots holds: all put back, the bottom one first.
TEST(WindowLayoutGuard, PutsBackACrowdedDesktopBottomFirst) {
  FakeDesktop desktop;
  for (HWND id = 1; id <= 25; ++id) desktop.stack.push_back({id, {0, 0, 10, 10}});
  desktop.foreground = 1;
  WindowLayoutGuard guard(desktop);
  guard.SetRestoreEnabled(true);
  std::vector<std::pair<HWND, RECT>> restored;
  for (HWND id = 25; id >= 1; --id) {
    desktop.Find(id)->rect = {0, 0, 1, 1};
    restored.push_back({id, {0, 0, 10, 10}});
  }
  guard.RestoreWindows();
  EXPECT_EQ(desktop.moves, restored);
}

}  // namespace
