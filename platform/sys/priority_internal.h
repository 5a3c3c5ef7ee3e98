#pragma once
#include <sys/types.h>

// Gives a new thread the nice value of the process's priority class.
void ApplyProcessPriorityToThread(pid_t tid);
