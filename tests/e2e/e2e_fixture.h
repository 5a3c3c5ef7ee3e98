#pragma once
// Xlib's macros (None, Bool) must come after GoogleTest's own headers.
// clang-format off
#include <gtest/gtest.h>
#include <X11/Xlib.h>
// clang-format on

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "e2e_support.h"
#include "support/isolated_env.h"

constexpr Milliseconds kAppear{30000};
constexpr Milliseconds kExit{10000};

// A virtual X server of the test's own, settings and runtime folders of its
// own, and the programs the test starts there, all gone when the test ends.
class EndToEnd : public ::testing::Test {
 protected:
  EndToEnd(int width, int height) : width_(width), height_(height) {}

  void SetUp() override {
    root = MakeTempDir();
    std::filesystem::create_directories(root + "/runtime");
    std::filesystem::permissions(root + "/runtime", std::filesystem::perms::owner_all);
    server = std::make_unique<XvfbServer>(width_, height_);
    if (X() == nullptr) GTEST_SKIP() << "Xvfb could not be started";
  }

  void TearDown() override {
    processes.clear();
    server.reset();
    std::error_code ignored;
    if (!root.empty()) std::filesystem::remove_all(root, ignored);
  }

  std::string Config() const { return root + "/config"; }
  std::string SettingsPath() const { return Config() + "/Software/Varune/Quellar/Settings.reg"; }
  void Settings(const std::vector<std::string>& lines) {
    std::filesystem::create_directories(std::filesystem::path(SettingsPath()).parent_path());
    std::ofstream file(SettingsPath());
    for (const auto& line : lines) file << line << "\n";
  }

  // Quellar (or that binary) on the test's server; `changes` may name another.
  QuellarProcess& Start(const std::vector<std::string>& arguments,
                        const std::map<std::string, std::string>& changes = {},
                        const std::string& binary = QuellarBinary()) {
    std::map<std::string, std::string> env = {{"DISPLAY", server->Name()},
                                              {"XDG_CONFIG_HOME", Config()},
                                              {"XDG_RUNTIME_DIR", root + "/runtime"},
                                              {"QT_QPA_PLATFORM", ""},
                                              {"XSCREENSAVER_WINDOW", ""}};
    for (const auto& [name, value] : changes) env[name] = value;
    std::string errors = root + "/runtime/stderr-" + std::to_string(processes.size()) + ".txt";
    processes.push_back(std::make_unique<QuellarProcess>(env, arguments, errors, binary));
    return *processes.back();
  }

  Display* X() const { return server->X(); }
  Window Root() const { return DefaultRootWindow(X()); }
  // Runs an X client on the test's server (or on `on`); true when it succeeded.
  bool Run(const std::string& command, const XvfbServer* on = nullptr) const {
    const std::string line = "DISPLAY=" + (on ? on : server.get())->Name() + " " + command;
    return std::system((line + " >/dev/null 2>&1").c_str()) == 0;
  }
  bool Xdo(const std::string& arguments) const { return Run("timeout 10 xdotool " + arguments); }

  // Waits until a frame shows in the region: at least 0.2 % of it not black.
  bool Lit(Area region, Display* x = nullptr) const {
    x = x ? x : X();
    const double least = std::max(1.0, 0.002 * region.width * region.height);
    return WaitUntil([&] { return CountPixels(x, DefaultRootWindow(x), region).lit >= least; },
                     kAppear, Milliseconds(100));
  }

  // Waits until the program has said that on standard error.
  static bool Said(const QuellarProcess& program, const std::string& text) {
    return WaitUntil([&] { return program.ErrorOutput().find(text) != std::string::npos; },
                     kAppear);
  }

  // x, y, width and height of the window.
  std::array<int, 4> Geometry(Window window, Display* x = nullptr) const {
    XWindowAttributes a{};
    EXPECT_TRUE(window != 0 && XGetWindowAttributes(x ? x : X(), window, &a));
    return {a.x, a.y, a.width, a.height};
  }

  // A plain window of that colour, as a desktop or XScreenSaver's own window would be.
  Window MakeWindow(Area area, unsigned long colour, Display* x = nullptr) const {
    x = x ? x : X();
    Window window = XCreateSimpleWindow(x, DefaultRootWindow(x), area.x, area.y, area.width,
                                        area.height, 0, 0, colour);
    XMapWindow(x, window);
    XSync(x, False);
    return window;
  }

  Window WaitForTopLevel(const char* title) const {
    Window window = 0;
    WaitUntil([&] { return (window = FindTopLevel(X(), title)) != 0; }, kAppear);
    return window;
  }

  void EndWithKey(QuellarProcess& program) {
    ASSERT_TRUE(Xdo("key space"));
    EXPECT_EQ(program.WaitForExit(kExit), 0) << program.ErrorOutput();
  }

  std::unique_ptr<XvfbServer> server;
  std::string root;
  std::vector<std::unique_ptr<QuellarProcess>> processes;

 private:
  int width_, height_;
};
