#include <signal.h>

#include <array>
#include <cstdio>
#include <tuple>

#include "e2e_fixture.h"

namespace {

constexpr int kMonitorWidth = 1024;
constexpr int kMonitorHeight = 768;

Area MonitorArea(int monitor) {
  return {monitor * kMonitorWidth, 0, kMonitorWidth, kMonitorHeight};
}

// Two monitors side by side, as Xinerama shows two screens of a nested server:
// `server` is the nested one, `host` the Xvfb it runs in.
class MonitorsEndToEnd : public EndToEnd {
 protected:
  MonitorsEndToEnd() : EndToEnd(2 * kMonitorWidth, kMonitorHeight) {}

  void SetUp() override {
    EndToEnd::SetUp();
    if (IsSkipped()) return;
    host = std::move(server);
    server = std::make_unique<XvfbServer>(host->Name(), 2, kMonitorWidth, kMonitorHeight);
    if (X() == nullptr) GTEST_SKIP() << "Xephyr could not be started";
  }

  std::unique_ptr<XvfbServer> host;
};

TEST_F(MonitorsEndToEnd, FullScreenDrawsOnTheChosenMonitorAndBlanksTheOther) {
  MakeWindow({0, 0, 2 * kMonitorWidth, kMonitorHeight}, 0xFFFFFF);  // a white desktop
  // Input on the blanked monitor ends the run too.
  for (auto [driver, monitor, endBy] : {std::tuple{"display", 0, "key space"},
                                        std::tuple{"XINERAMA-1", 1, "mousemove 100 100 click 1"}}) {
    SCOPED_TRACE(driver);
    Settings({"DDDriverName = sz \"" + std::string(driver) + "\""});
    QuellarProcess& saver = Start({"/s"});
    const Area chosen = MonitorArea(monitor), other = MonitorArea(1 - monitor);
    Window window = 0;
    ASSERT_NE(window = WaitForTopLevel("Screen Saver"), 0u);
    // Both halves of the chosen monitor show the board, the other monitor nothing.
    const int half = kMonitorWidth / 2;
    EXPECT_TRUE(Lit({chosen.x, 0, half, kMonitorHeight})) << "left part of the picture missing";
    EXPECT_TRUE(Lit({chosen.x + half, 0, half, kMonitorHeight}))
        << "right part of the picture missing";
    EXPECT_EQ(CountPixels(X(), Root(), other).lit, 0) << "the other monitor is not blanked";
    EXPECT_EQ(Geometry(window), (std::array{chosen.x, chosen.y, chosen.width, chosen.height}));
    EXPECT_EQ(TopOfStack(X()), window);
    ASSERT_TRUE(Xdo(endBy));
    EXPECT_EQ(saver.WaitForExit(kExit), 0) << saver.ErrorOutput();
  }
}

// As XScreenSaver runs a mode: a copy per monitor, in the window its environment names.
TEST_F(MonitorsEndToEnd, OneXScreenSaverCopyPerMonitorBothDrawAndEachEndsByItsSignal) {
  std::vector<QuellarProcess*> copies;
  for (int monitor = 0; monitor < 2; ++monitor) {
    char id[32];
    std::snprintf(id, sizeof id, "0x%lX", MakeWindow(MonitorArea(monitor), 0));
    copies.push_back(&Start({"-root"}, {{"XSCREENSAVER_WINDOW", id}}));
  }
  copies.push_back(&Start({"-window-id", std::to_string(MakeWindow({300, 200, 200, 150}, 0))}));
  for (int monitor = 0; monitor < 2; ++monitor)
    EXPECT_TRUE(Lit(MonitorArea(monitor))) << "monitor " << monitor << " not drawn";
  ASSERT_TRUE(Xdo("key space"));
  std::this_thread::sleep_for(Milliseconds(500));
  const int signals[] = {SIGTERM, SIGINT, SIGTERM};
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(copies[i]->Running()) << "input ended an XScreenSaver copy";
    copies[i]->Signal(signals[i]);
    EXPECT_TRUE(copies[i]->WaitForExit(kExit).has_value());
    EXPECT_EQ(copies[i]->EndingSignal(), signals[i]) << copies[i]->ErrorOutput();
  }
}

// RandR monitors of the outer server, changed while a saver runs on one.
TEST_F(MonitorsEndToEnd, AMonitorThatComesIsBlankedAndLosingTheChosenOneEndsTheRun) {
  Display* x = host->X();
  const std::string size =
      std::to_string(kMonitorWidth) + "/270x" + std::to_string(kMonitorHeight) + "/200";
  ASSERT_TRUE(Run("xrandr --setmonitor LEFT " + size + "+0+0 screen", host.get()));
  MakeWindow({0, 0, 2 * kMonitorWidth, kMonitorHeight}, 0xFFFFFF, x);
  Settings({"DDDriverName = sz \"LEFT\""});
  QuellarProcess& saver = Start({"/s"}, {{"DISPLAY", host->Name()}});
  // The saver window first covers the whole screen, then only its monitor.
  auto tookItsMonitor = [&] {
    Window saverWindow = FindTopLevel(x, "Screen Saver");
    return saverWindow != 0 && Geometry(saverWindow, x)[2] == kMonitorWidth;
  };
  ASSERT_TRUE(WaitUntil(tookItsMonitor, kAppear)) << "the saver never took its monitor";
  EXPECT_GT(CountPixels(x, DefaultRootWindow(x), MonitorArea(1)).lit, 0) << "no monitor there yet";
  ASSERT_TRUE(Run("xrandr --setmonitor RIGHT " + size + "+1024+0 none", host.get()));
  EXPECT_TRUE(WaitUntil(
      [&] { return CountPixels(x, DefaultRootWindow(x), MonitorArea(1)).lit == 0; }, kExit))
      << "the new monitor was not blanked";
  ASSERT_TRUE(Run("xrandr --delmonitor LEFT", host.get()));
  EXPECT_EQ(saver.WaitForExit(kExit), 0) << saver.ErrorOutput();
}

}  // namespace
