#pragma once
#include <sys/types.h>

#include <cstddef>

// The model parser runs in a child process that a hostile file may take over.
// These steps, taken in the child right after fork, leave such a child nothing
// to reach: no descriptor but the model file (standard input), the result pipe
// (standard output) and standard error (the runtime's and sanitizers' crash
// reports); death with the parent; bounds on memory and processor time.

// Everything up to the system-call filter. False when the parent is gone already.
bool CutOffParserChild(pid_t parent, int file, int result, size_t fileSize);

// Once the file is in memory: from here on the child may only manage memory,
// write to standard output and standard error, end itself (also by a signal it
// sends itself) and exit. Every other call fails with EPERM. False when the
// filter could not be put in place.
bool LockDownParserChild();
