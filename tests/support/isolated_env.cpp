#include "support/isolated_env.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

std::string MakeTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quellar-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

std::string SettingsFile() {
  return std::string(std::getenv("XDG_CONFIG_HOME")) + "/Software/Varune/Quellar/Settings.reg";
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

void WriteWholeFile(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

void WriteSettingsFile(const std::string& text) { WriteWholeFile(SettingsFile(), text); }

std::string ReadSettingsFile() { return ReadWholeFile(SettingsFile()); }

namespace {
class IsolatedEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    root_ = MakeTempDir();
    const std::string config = root_ + "/config", runtime = root_ + "/runtime";
    std::filesystem::create_directories(config);
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

private:
  std::string root_;
};

[[maybe_unused]] const auto* const kInstalled =
    ::testing::AddGlobalTestEnvironment(new IsolatedEnvironment);
}  // namespace
