#include "support/isolated_env.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

std::string MakeTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quellar-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

std::string SettingsFile() {
  return std::string(std::getenv("XDG_CONFIG_HOME")) + "/Software/Varune/Quellar/Settings.reg";
}

void WriteSettingsFile(const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(SettingsFile()).parent_path());
  std::ofstream(SettingsFile(), std::ios::binary) << text;
}

std::string ReadSettingsFile() {
  std::stringstream text;
  text << std::ifstream(SettingsFile(), std::ios::binary).rdbuf();
  return text.str();
}

IsolatedEnv::IsolatedEnv() : root_(MakeTempDir()) {
  std::filesystem::create_directories(ConfigHome());
  std::filesystem::create_directories(RuntimeDir());
  std::filesystem::permissions(RuntimeDir(), std::filesystem::perms::owner_all);
  setenv("XDG_CONFIG_HOME", ConfigHome().c_str(), 1);
  setenv("XDG_RUNTIME_DIR", RuntimeDir().c_str(), 1);
}

IsolatedEnv::~IsolatedEnv() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

namespace {
class IsolatedEnvironment : public ::testing::Environment {
public:
  void SetUp() override { env_ = std::make_unique<IsolatedEnv>(); }
  void TearDown() override { env_.reset(); }

private:
  std::unique_ptr<IsolatedEnv> env_;
};

[[maybe_unused]] const auto* const kInstalled =
    ::testing::AddGlobalTestEnvironment(new IsolatedEnvironment);
}  // namespace
