#pragma once
#include <sys/types.h>

// A real second process: it runs a helper program, whose first byte on stdout
// is its answer, and keeps it alive until its stdin closes (Stop, or the end
// of the object). Tests of cross-process locks hold one while they look.
class AnsweringChild {
 public:
  // argument may be null.
  AnsweringChild(const char* program, const char* argument);
  ~AnsweringChild() { Stop(); }
  AnsweringChild(const AnsweringChild&) = delete;
  AnsweringChild& operator=(const AnsweringChild&) = delete;

  char Answer() const { return answer_; }
  pid_t Pid() const { return pid_; }
  void Stop();

 private:
  pid_t pid_ = -1;
  int input_ = -1;
  char answer_ = '?';
};
