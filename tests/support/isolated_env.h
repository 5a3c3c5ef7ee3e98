#pragma once
#include <string>

// Every test program runs with its own XDG_CONFIG_HOME and XDG_RUNTIME_DIR in a
// fresh temporary folder, made by a global GoogleTest environment and removed
// after the last test, so no test ever reads or writes the real user's settings.

// A fresh temporary folder of its own for one test.
std::string MakeTempDir();

// A whole file as it stands on disk; writing one makes the folders on its way.
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& text);

// The settings file in the isolated configuration folder, written and read
// behind the program's back.
std::string SettingsFile();
void WriteSettingsFile(const std::string& text);
std::string ReadSettingsFile();
