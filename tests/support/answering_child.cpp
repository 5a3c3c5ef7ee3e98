#include "support/answering_child.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

AnsweringChild::AnsweringChild(const char* program, const char* argument) {
  int in[2], out[2];
  if (pipe(in) != 0 || pipe(out) != 0) std::abort();
  if ((pid_ = fork()) == 0) {
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    close(in[1]);
    execl(program, program, argument, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  input_ = in[1];
  if (read(out[0], &answer_, 1) != 1) answer_ = '?';
  close(out[0]);
}

void AnsweringChild::Stop() {
  if (input_ >= 0) close(input_);
  if (pid_ > 0) waitpid(pid_, nullptr, 0);
  input_ = pid_ = -1;
}
