#pragma once
#include <sys/types.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

// Puts every thread of the process at normal priority (the saver lowers its
// own to idle); false when that is not allowed.
bool LiftToNormalPriority(pid_t pid);

// Processor time (user + system) of a running process, or of a child that has
// ended but has not been waited for, in seconds.
double ProcessCpuSeconds(pid_t pid);

// A child process with its own environment changes (an empty value removes a
// variable) and its standard output and error in files of the caller's.
class Child {
 public:
  Child(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
        const std::string& outputPath);
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  pid_t Pid() const { return pid_; }
  bool Started() const { return pid_ > 0; }
  // Waits for the end; the exit status and the processor time of the whole run.
  std::optional<int> Wait(double* cpuSeconds = nullptr);
  void Signal(int signal);

 private:
  pid_t pid_ = -1;
  bool waited_ = false;
};

// A virtual X server of the benchmark's own, on display `number` or, when that
// is negative, on the first free one.
class Xvfb {
 public:
  Xvfb(int width, int height, int number);
  ~Xvfb();
  bool Ok() const { return !name_.empty(); }
  const std::string& Name() const { return name_; }
  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
};

std::string ReadFile(const std::string& path);
