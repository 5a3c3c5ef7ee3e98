// The saver under faults: ends at any moment, slow and hostile files, a busy
// machine, and a test that dies half-way.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <sstream>

#include "e2e_fixture.h"

namespace {

// Far above the few tens of milliseconds an end takes, far below the seconds
// a stop path that waits on the wrong thing takes.
constexpr Milliseconds kPromptEnd{1500};
const std::string kSlowObject =
    std::string(QUELLAR_SOURCE_DIR) + "/tests/platform/rm/data/hangs_parser.x";

// Gone, or a zombie nobody has reaped yet.
bool Ended(pid_t pid) {
  const std::string stat = ReadWholeFile("/proc/" + std::to_string(pid) + "/stat");
  const size_t close = stat.rfind(')');
  return close == std::string::npos || stat.compare(close + 2, 1, "Z") == 0;
}

// The children of the process's main thread, which is the one that reads the object.
std::string ChildrenOf(pid_t pid) {
  return ReadWholeFile("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) +
                       "/children");
}

// Nice value and scheduling policy (fields 19 and 41 of the stat) of each thread by id.
std::map<int, std::pair<int, int>> ThreadPriorities(pid_t pid) {
  std::map<int, std::pair<int, int>> result;
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  for (const auto& task : std::filesystem::directory_iterator(tasks)) {
    const std::string stat = ReadWholeFile(task.path().string() + "/stat");
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;  // the thread has just ended
    std::istringstream fields(stat.substr(close + 2));
    std::vector<std::string> f{std::istream_iterator<std::string>(fields), {}};
    const int id = std::stoi(task.path().filename());
    if (f.size() > 38) result[id] = {std::stoi(f[16]), std::stoi(f[38])};
  }
  return result;
}

class SaverFaults : public EndToEnd {
 protected:
  SaverFaults() : EndToEnd(640, 480) {}

  // Ends the saver by the signal (0: a key press) within kPromptEnd; the exit status must
  // be 0. Before its handler is in place a signal ends the saver the default way.
  long EndTime(QuellarProcess& saver, int signal) {
    const auto sent = Clock::now();
    if (signal == 0) {
      EXPECT_TRUE(Xdo("key space"));
    } else {
      saver.Signal(signal);
    }
    const std::optional<int> status = saver.WaitForExit(Milliseconds(15000));
    EXPECT_TRUE(status == 0 || (signal != 0 && status == 128 + signal)) << status.value_or(-1);
    const long took = std::chrono::duration_cast<Milliseconds>(Clock::now() - sent).count();
    EXPECT_LT(took, kPromptEnd.count()) << "ended by signal " << signal;
    return took;
  }
};

// The Render thread once waited for the window thread to go idle while the
// window thread waited for it to stop: ten seconds lost in the first moments.
TEST_F(SaverFaults, EndsPromptlyFromAnyMomentOfStartUp) {
  for (int delay : {0, 50, 150, 300, 500, 800, 1200}) {
    QuellarProcess& saver = Start({"/s"});
    std::this_thread::sleep_for(Milliseconds(delay));
    SCOPED_TRACE(delay);
    EndTime(saver, delay % 100 == 0 ? SIGTERM : SIGINT);
  }
}

// A model that keeps the parser busy must hold neither input nor signals, and
// the parser goes with the saver.
TEST_F(SaverFaults, ASlowObjectHoldsNeitherKeysNorSignals) {
  Settings({"XFileName = sz \"" + kSlowObject + "\""});
  for (int end : {SIGTERM, 0}) {
    const char* by = end == 0 ? "key" : "SIGTERM";
    QuellarProcess& saver = Start({"/s"});
    ASSERT_TRUE(WaitUntil([&] { return !ChildrenOf(saver.Pid()).empty(); }, kAppear)) << by;
    ASSERT_NE(WaitForTopLevel("Screen Saver"), 0u) << by;
    const pid_t parser = std::stoi(ChildrenOf(saver.Pid()));
    std::this_thread::sleep_for(Milliseconds(500));
    std::printf("%s to exit while the object is read: %ld ms\n", by, EndTime(saver, end));
    EXPECT_TRUE(WaitUntil([&] { return Ended(parser); }, Milliseconds(1000)))
        << "the parser outlived the saver";
  }
}

// A FIFO in place of the settings file would block a plain open forever. The saver
// is polite on a busy machine but never in the class that lets a thread starve: the
// process at nice 10, the Render thread at 12 (the GL driver's own may go lower).
TEST_F(SaverFaults, AFifoForTheSettingsFileReadsAsNoSettingsAndTheSaverRunsAtNiceTen) {
  std::filesystem::create_directories(std::filesystem::path(SettingsPath()).parent_path());
  ASSERT_EQ(mkfifo(SettingsPath().c_str(), 0600), 0);
  QuellarProcess& saver = Start({"/s"});
  EXPECT_NE(WaitForTopLevel("Screen Saver"), 0u) << "the saver never started";
  if (getpriority(PRIO_PROCESS, 0) <= 10) {
    auto renderThreadRuns = [&] {
      return std::ranges::any_of(ThreadPriorities(saver.Pid()),
                                 [](const auto& thread) { return thread.second.first == 12; });
    };
    EXPECT_TRUE(WaitUntil(renderThreadRuns, kAppear)) << "no thread a little below the process";
    const auto threads = ThreadPriorities(saver.Pid());
    EXPECT_EQ(threads.at(saver.Pid()).first, 10) << "the main thread";
    for (const auto& [id, priority] : threads) {
      EXPECT_NE(priority.second, SCHED_IDLE);
      EXPECT_GE(priority.first, 10);
    }
  }
  EndTime(saver, SIGTERM);
}

// A test that dies half-way leaves no virtual X server and no saver behind.
TEST(TestSupport, ADyingTestLeavesNoProcessBehind) {
  const std::string note = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/dying-test";
  const pid_t test = fork();
  if (test == 0) {
    XvfbServer server(320, 240);
    QuellarProcess saver({{"DISPLAY", server.Name()}}, {"/s"}, "/dev/null");
    std::ofstream(note) << server.Name() << " " << saver.Pid() << std::endl;
    std::this_thread::sleep_for(Milliseconds(300));
    abort();  // no destructor runs
  }
  waitpid(test, nullptr, 0);
  std::istringstream fields(ReadWholeFile(note));
  std::string display;
  pid_t saver = 0;
  ASSERT_TRUE(fields >> display >> saver) << "the dying test did not get going";
  EXPECT_TRUE(WaitUntil([&] { return Ended(saver); }, Milliseconds(3000)))
      << "the saver outlived its test";
  auto serverGone = [&] {
    Display* x = XOpenDisplay(display.c_str());
    if (x) XCloseDisplay(x);
    return x == nullptr;
  };
  EXPECT_TRUE(WaitUntil(serverGone, Milliseconds(3000))) << "the X server outlived its test";
}

}  // namespace
