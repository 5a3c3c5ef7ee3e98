#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <random>

#include "settings/settings.h"
#include "settings_file.h"

namespace {

void MakeVersion(bool second) {
  LoadSettings();
  Settings.Speed = second ? 3 : 17;
  Settings.Size = second ? 2 : 0;
  Settings.Roll = second ? 1 : 2;
  std::memset(Settings.XFileName, 0, sizeof Settings.XFileName);
  std::memset(Settings.XFileName, second ? 'b' : 'a', 250);
  std::strcpy(Settings.D3DDriverName, second ? "Second" : "First");
}

std::string TextOfVersion(bool second) {
  MakeVersion(second);
  SaveSettings();
  return ReadSettingsFile();
}

TEST(SettingsProcesses, ASaveKilledAtAnyMomentLeavesAWholeVersion) {
  RemoveSettingsFile();
  const std::string first = TextOfVersion(false);
  const std::string second = TextOfVersion(true);
  ASSERT_EQ(TextOfVersion(false), first);

  std::mt19937 random(777);
  for (int round = 0; round < 30; ++round) {
    const pid_t child = fork();
    if (child == 0) {
      for (bool which = false;; which = !which) {
        MakeVersion(which);
        SaveSettings();
      }
    }
    usleep(useconds_t(random() % 15000));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    const std::string text = ReadSettingsFile();
    ASSERT_TRUE(text == first || text == second) << "round " << round;
    LoadSettings();
    EXPECT_TRUE(Settings.Speed == 3 || Settings.Speed == 17);
    EXPECT_EQ(std::strlen(Settings.XFileName), 250u);
  }
}

// A second saver or dialog in a real process of its own.
class Probe {
public:
  Probe() {
    int toChild[2];
    int fromChild[2];
    if (pipe(toChild) != 0 || pipe(fromChild) != 0) std::abort();
    pid_ = fork();
    if (pid_ == 0) {
      dup2(toChild[0], STDIN_FILENO);
      dup2(fromChild[1], STDOUT_FILENO);
      close(toChild[1]);
      close(fromChild[0]);
      execl(QUELLAR_INSTANCE_PROBE, QUELLAR_INSTANCE_PROBE, static_cast<char*>(nullptr));
      _exit(127);
    }
    close(toChild[0]);
    close(fromChild[1]);
    input_ = toChild[1];
    output_ = fromChild[0];
    if (read(output_, &answer_, 1) != 1) answer_ = '?';
  }
  ~Probe() { End(false); }

  char Answer() const { return answer_; }

  void End(bool crash) {
    if (pid_ <= 0) return;
    if (crash) kill(pid_, SIGKILL);
    close(input_);
    close(output_);
    waitpid(pid_, nullptr, 0);
    pid_ = 0;
  }

private:
  pid_t pid_ = 0;
  int input_ = -1;
  int output_ = -1;
  char answer_ = '?';
};

TEST(InstanceMutex, ASecondInstanceIsTurnedAwayWhileTheFirstRuns) {
  ASSERT_TRUE(AcquireInstanceMutex());
  {
    Probe second;
    EXPECT_EQ(second.Answer(), '0');
  }
  ReleaseInstanceMutex();
  Probe afterRelease;
  EXPECT_EQ(afterRelease.Answer(), '1');
  EXPECT_FALSE(AcquireInstanceMutex()) << "the other process holds it now";
  ReleaseInstanceMutex();
}

TEST(InstanceMutex, TheNextInstanceStartsAfterTheFirstExitsOrCrashes) {
  {
    Probe first;
    ASSERT_EQ(first.Answer(), '1');
    first.End(false);
  }
  EXPECT_TRUE(AcquireInstanceMutex());
  ReleaseInstanceMutex();

  Probe crashing;
  ASSERT_EQ(crashing.Answer(), '1');
  EXPECT_FALSE(AcquireInstanceMutex());
  ReleaseInstanceMutex();
  crashing.End(true);
  EXPECT_TRUE(AcquireInstanceMutex());
  ReleaseInstanceMutex();
}

}  // namespace
