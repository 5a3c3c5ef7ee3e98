#include "present_bench/processes.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

extern char** environ;

namespace {

std::vector<std::string> Environment(const std::map<std::string, std::string>& changes) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry(*e);
    if (changes.count(entry.substr(0, entry.find('='))) == 0) env.push_back(entry);
  }
  for (const auto& [name, value] : changes)
    if (!value.empty()) env.push_back(name + "=" + value);
  return env;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> result;
  for (auto& s : strings) result.push_back(s.data());
  result.push_back(nullptr);
  return result;
}

pid_t Spawn(std::vector<std::string> argv, std::vector<std::string> env,
            const std::string& outputPath) {
  auto args = Pointers(argv);
  auto envp = Pointers(env);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!outputPath.empty()) {
    posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
  }
  pid_t pid = -1;
  const int failed = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return failed != 0 ? -1 : pid;
}

}  // namespace

std::string ReadFile(const std::string& path) {
  std::ifstream file(path);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

bool LiftToNormalPriority(pid_t pid) {
  bool ok = true;
  std::error_code error;
  for (const auto& task :
       std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
    const pid_t tid = pid_t(std::stol(task.path().filename().string()));
    const sched_param normal{};
    ok = sched_setscheduler(tid, SCHED_OTHER, &normal) == 0 && ok;
    ok = setpriority(PRIO_PROCESS, id_t(tid), 0) == 0 && ok;
  }
  return ok && !error;
}

double ProcessCpuSeconds(pid_t pid) {
  // User and system time are fields 14 and 15; the name before them may hold blanks.
  const std::string text = ReadFile("/proc/" + std::to_string(pid) + "/stat");
  const size_t close = text.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(text.substr(close + 2));
  std::string skipped;
  long utime = 0, stime = 0;
  for (int i = 3; i < 14; ++i) fields >> skipped;
  fields >> utime >> stime;
  return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

Child::Child(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
             const std::string& outputPath)
    : pid_(Spawn(argv, Environment(env), outputPath)) {}

Child::~Child() {
  if (pid_ > 0 && !waited_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

std::optional<int> Child::Wait(double* cpuSeconds) {
  if (pid_ <= 0 || waited_) return std::nullopt;
  int status = 0;
  rusage usage{};
  if (wait4(pid_, &status, 0, &usage) != pid_) return std::nullopt;
  waited_ = true;
  if (cpuSeconds) {
    *cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                  double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void Child::Signal(int signal) {
  if (pid_ > 0 && !waited_) kill(pid_, signal);
}

Xvfb::Xvfb(int width, int height, int number) {
  int ends[2];
  if (pipe(ends) != 0) return;
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  std::vector<std::string> argv = {"Xvfb", "-displayfd", std::to_string(ends[1]), "-screen", "0",
                                   screen, "-nolisten", "tcp", "-noreset"};
  if (number >= 0) argv.insert(argv.begin() + 1, std::string(":").append(std::to_string(number)));
  pid_ = Spawn(argv, Environment({}), "/dev/null");
  close(ends[1]);
  std::string shown;
  char c;
  while (read(ends[0], &c, 1) == 1 && c != '\n') shown += c;
  close(ends[0]);
  if (pid_ > 0 && !shown.empty()) name_ = ":" + shown;
}

Xvfb::~Xvfb() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}
