#pragma once

// The program's command line: its arguments, the program's own name first,
// joined by single blanks. main hands them over before anything reads them;
// until then the line comes from /proc/self/cmdline.
void SetCommandLine(int argc, const char* const* argv);
const char* GetCommandLineA();
