#pragma once
#include <cstddef>

#include "platform/sys/types.h"

// The open-file chooser of the display page. `filter` is pairs of texts (shown
// name, patterns), each ended by a NUL, the whole ended by an empty text. It
// opens in the folder of `startPath` and writes the chosen file's path into
// `path` (size bytes). False when the user cancelled or nothing was chosen.
bool ChooseFile(HWND owner, const char* startPath, const char* filter, char* path, size_t size);

// The folder the chooser opens in: the start path cut just after its last
// folder separator, or the whole path when it has none.
void InitialFolderOf(const char* startPath, char* folder, size_t size);
