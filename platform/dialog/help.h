#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/sys/types.h"

// Help files are HTML pages shown in the desktop's browser. WinHelp takes the
// help file's name ("Name.hlp", any folder part is dropped) and opens
// "Name.html" from the first help folder that holds it:
//   $QUELLAR_HELP_DIR, then <program folder>/help, then
//   <program folder>/../share/quellar/help.
// HELP_CONTEXT opens the page at the anchor "context-<data>" (for example
// Quellar.html#context-101); HELP_CONTENTS and HELP_FINDER open it at the top;
// HELP_QUIT does nothing and succeeds. Returns false when the page does not
// exist or no browser can be started.
bool WinHelp(HWND window, const char* helpFile, uint32_t command, uintptr_t data);

constexpr uint32_t HELP_CONTEXT = 0x0001;
constexpr uint32_t HELP_QUIT = 0x0002;
constexpr uint32_t HELP_CONTENTS = 0x0003;
constexpr uint32_t HELP_FINDER = 0x000B;

// Tests replace the browser: it receives the URL (file://...#anchor) and says
// whether a browser started. An empty function restores the desktop's opener.
void SetHelpOpenerForTesting(std::function<bool(const std::string& url)> opener);
