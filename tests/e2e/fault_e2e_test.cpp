// The saver under faults: ends at any moment, slow and hostile files, a busy
// machine, and a test that dies half-way.
// clang-format off
#include <gtest/gtest.h>
#include <X11/Xlib.h>
// clang-format on
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <iterator>
#include <sstream>

#include "e2e_support.h"
#include "support/isolated_env.h"

namespace {

constexpr Milliseconds kAppear{20000};
// Far above the few tens of milliseconds an end takes, far below the seconds
// a stop path that waits on the wrong thing takes.
constexpr Milliseconds kPromptEnd{1500};
const std::string kSlowObject =
    std::string(QUELLAR_SOURCE_DIR) + "/tests/platform/rm/data/hangs_parser.x";

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Gone, or a zombie nobody has reaped yet.
bool Ended(pid_t pid) {
  const std::string stat = ReadText("/proc/" + std::to_string(pid) + "/stat");
  const size_t close = stat.rfind(')');
  return close == std::string::npos || stat.compare(close + 2, 1, "Z") == 0;
}

// The children of the process's main thread, which is the one that reads the object.
std::string ChildrenOf(pid_t pid) {
  return ReadText("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children");
}

// Nice value and scheduling policy of one thread: fields 19 and 41 of its stat.
std::pair<int, int> NiceAndPolicy(const std::string& taskFolder) {
  const std::string stat = ReadText(taskFolder + "/stat");
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return {-100, -1};
  std::istringstream fields(stat.substr(close + 2));
  std::vector<std::string> f{std::istream_iterator<std::string>(fields), {}};
  return f.size() > 38 ? std::pair{std::stoi(f[16]), std::stoi(f[38])} : std::pair{-100, -1};
}

std::vector<std::pair<int, int>> ThreadPriorities(pid_t pid) {
  std::vector<std::pair<int, int>> result;
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  for (const auto& task : std::filesystem::directory_iterator(tasks))
    result.push_back(NiceAndPolicy(task.path().string()));
  return result;
}

class SaverFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(QuellarBinary())) GTEST_SKIP() << "quellar is not built";
    server = std::make_unique<XvfbServer>(640, 480);
    if (server->X() == nullptr) GTEST_SKIP() << "Xvfb could not be started";
    root = MakeTempDir();
    std::filesystem::create_directories(root + "/config");
    std::filesystem::create_directories(root + "/runtime");
    std::filesystem::permissions(root + "/runtime", std::filesystem::perms::owner_all);
  }
  void TearDown() override {
    processes.clear();
    server.reset();
    std::error_code ignored;
    if (!root.empty()) std::filesystem::remove_all(root, ignored);
  }

  QuellarProcess& Start() {
    std::map<std::string, std::string> env = {{"DISPLAY", server->Name()},
                                              {"XDG_CONFIG_HOME", root + "/config"},
                                              {"XDG_RUNTIME_DIR", root + "/runtime"},
                                              {"QT_QPA_PLATFORM", ""},
                                              {"XSCREENSAVER_WINDOW", ""}};
    std::string errors = root + "/runtime/stderr-" + std::to_string(processes.size()) + ".txt";
    processes.push_back(std::make_unique<QuellarProcess>(env, std::vector<std::string>{"/s"}, errors));
    return *processes.back();
  }

  bool WindowShown() { return FindTopLevel(server->X(), "Screen Saver") != 0; }

  // Milliseconds from the signal to the exit; the exit status must be 0.
  // Before its handler is in place a signal ends the saver the default way.
  long EndTime(QuellarProcess& saver, int signal) {
    const auto sent = Clock::now();
    saver.Signal(signal);
    const std::optional<int> status = saver.WaitForExit(Milliseconds(15000));
    EXPECT_TRUE(status == 0 || status == 128 + signal) << status.value_or(-1);
    return std::chrono::duration_cast<Milliseconds>(Clock::now() - sent).count();
  }

  std::unique_ptr<XvfbServer> server;
  std::string root;
  std::vector<std::unique_ptr<QuellarProcess>> processes;
};

// The Render thread once waited for the window thread to go idle while the
// window thread waited for it to stop: ten seconds lost in the first moments.
TEST_F(SaverFaults, EndsPromptlyFromAnyMomentOfStartUp) {
  for (int delay : {0, 50, 150, 300, 500, 800, 1200}) {
    QuellarProcess& saver = Start();
    std::this_thread::sleep_for(Milliseconds(delay));
    const int signal = delay % 100 == 0 ? SIGTERM : SIGINT;
    EXPECT_LT(EndTime(saver, signal), kPromptEnd.count()) << "signal " << signal << " at " << delay;
  }
}

// A model that keeps the parser busy must hold neither input nor signals, and
// the parser goes with the saver.
TEST_F(SaverFaults, ASlowObjectHoldsNeitherKeysNorSignals) {
  WriteSettings(root + "/config", {"XFileName = sz \"" + kSlowObject + "\""});
  for (const char* end : {"SIGTERM", "key"}) {
    QuellarProcess& saver = Start();
    ASSERT_TRUE(WaitUntil([&] { return !ChildrenOf(saver.Pid()).empty(); }, kAppear)) << end;
    ASSERT_TRUE(WaitUntil([&] { return WindowShown(); }, kAppear)) << end;
    const pid_t parser = std::stoi(ChildrenOf(saver.Pid()));
    std::this_thread::sleep_for(Milliseconds(500));
    long took = 0;
    if (std::string(end) == "key") {
      const auto pressed = Clock::now();
      ASSERT_TRUE(XdoTool(server->Name(), "key space"));
      EXPECT_EQ(saver.WaitForExit(Milliseconds(15000)), 0);
      took = std::chrono::duration_cast<Milliseconds>(Clock::now() - pressed).count();
    } else {
      took = EndTime(saver, SIGTERM);
    }
    std::printf("%s to exit while the object is read: %ld ms\n", end, took);
    EXPECT_LT(took, kPromptEnd.count()) << end;
    EXPECT_TRUE(WaitUntil([&] { return Ended(parser); }, Milliseconds(1000)))
        << "the parser outlived the saver";
  }
}

// A FIFO in place of the settings file would block a plain open forever.
TEST_F(SaverFaults, AFifoForTheSettingsFileReadsAsNoSettings) {
  const std::string folder = root + "/config/Software/Varune/Quellar";
  std::filesystem::create_directories(folder);
  ASSERT_EQ(mkfifo((folder + "/Settings.reg").c_str(), 0600), 0);
  QuellarProcess& saver = Start();
  EXPECT_TRUE(WaitUntil([&] { return WindowShown(); }, kAppear)) << "the saver never started";
  EXPECT_LT(EndTime(saver, SIGTERM), kPromptEnd.count());
}

// Polite on a busy machine, but never in the scheduler class that lets a
// thread starve: the process at nice 10, the Render thread at 12. (The GL
// driver puts its own disk-cache thread lower still, which is its business.)
TEST_F(SaverFaults, RunsAtNiceTenAndNeverAtTheIdleScheduler) {
  if (getpriority(PRIO_PROCESS, 0) > 10) GTEST_SKIP() << "the tests run below nice 10 already";
  QuellarProcess& saver = Start();
  auto renderThreadRuns = [&] {
    for (const auto& [nice, policy] : ThreadPriorities(saver.Pid()))
      if (nice == 12) return true;
    return false;
  };
  EXPECT_TRUE(WaitUntil(renderThreadRuns, kAppear)) << "no thread a little below the process";
  const auto threads = ThreadPriorities(saver.Pid());
  const std::string pid = std::to_string(saver.Pid());
  EXPECT_EQ(NiceAndPolicy("/proc/" + pid + "/task/" + pid).first, 10) << "the main thread";
  for (const auto& [nice, policy] : threads) {
    EXPECT_NE(policy, SCHED_IDLE);
    EXPECT_GE(nice, 10);
  }
  EXPECT_LT(EndTime(saver, SIGTERM), kPromptEnd.count());
}

// A test that dies half-way leaves no virtual X server and no saver behind.
TEST(TestSupport, ADyingTestLeavesNoProcessBehind) {
  if (!std::filesystem::exists(QuellarBinary())) GTEST_SKIP() << "quellar is not built";
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  const pid_t test = fork();
  if (test == 0) {
    close(ends[0]);
    XvfbServer server(320, 240);
    QuellarProcess saver({{"DISPLAY", server.Name()}}, {"/s"}, "/dev/null");
    const std::string line = server.Name() + " " + std::to_string(saver.Pid()) + "\n";
    [[maybe_unused]] ssize_t written = write(ends[1], line.data(), line.size());
    std::this_thread::sleep_for(Milliseconds(300));
    abort();  // no destructor runs
  }
  close(ends[1]);
  std::string line;
  char c;
  while (read(ends[0], &c, 1) == 1 && c != '\n') line += c;
  close(ends[0]);
  waitpid(test, nullptr, 0);
  std::istringstream fields(line);
  std::string display;
  pid_t saver = 0;
  ASSERT_TRUE(fields >> display >> saver) << "the dying test did not get going";
  EXPECT_TRUE(WaitUntil([&] { return Ended(saver); }, Milliseconds(3000)))
      << "the saver outlived its test";
  EXPECT_TRUE(WaitUntil(
      [&] {
        Display* x = XOpenDisplay(display.c_str());
        if (x) XCloseDisplay(x);
        return x == nullptr;
      },
      Milliseconds(3000)))
      << "the X server outlived its test";
}

}  // namespace
