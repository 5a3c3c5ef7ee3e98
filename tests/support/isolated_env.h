#pragma once
#include <string>

// Gives the test process its own XDG_CONFIG_HOME and XDG_RUNTIME_DIR in a fresh
// temporary folder, removed again when the object goes. Installed for every
// test program by a global GoogleTest environment, so no test ever reads or
// writes the real user's settings.
class IsolatedEnv {
public:
  IsolatedEnv();
  ~IsolatedEnv();
  IsolatedEnv(const IsolatedEnv&) = delete;
  IsolatedEnv& operator=(const IsolatedEnv&) = delete;

  const std::string& Root() const { return root_; }
  std::string ConfigHome() const { return root_ + "/config"; }
  std::string RuntimeDir() const { return root_ + "/runtime"; }

private:
  std::string root_;
};

// A fresh temporary folder of its own for one test.
std::string MakeTempDir();

// The settings file in the isolated configuration folder, written and read
// behind the program's back.
std::string SettingsFile();
void WriteSettingsFile(const std::string& text);
std::string ReadSettingsFile();
