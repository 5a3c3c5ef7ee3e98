#pragma once
#include <string>

// Why a file cannot be read, in a few English words ("No such file or
// directory", "a folder, not a file"), or empty when it opens as a readable
// regular file. Opening never blocks, so a FIFO is an answer, not a hang.
std::string FileProblem(const std::string& path);
