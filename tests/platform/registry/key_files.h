#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// Key files of the test's own settings folder, read and written behind the registry's back.
inline std::string SoftwareFolder() { return std::string(std::getenv("XDG_CONFIG_HOME")) + "/Software"; }

inline std::string KeyFile(const std::string& leaf) { return SoftwareFolder() + "/Tests/" + leaf + ".reg"; }

inline std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

inline void WriteText(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}
