#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// The settings key's file, written and read behind the store's back.
inline std::string SettingsFile() {
  return std::string(std::getenv("XDG_CONFIG_HOME")) + "/Software/Varune/Quellar/Settings.reg";
}

inline void WriteSettingsFile(const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(SettingsFile()).parent_path());
  std::ofstream(SettingsFile(), std::ios::binary) << text;
}

inline std::string ReadSettingsFile() {
  std::ifstream file(SettingsFile(), std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

inline void RemoveSettingsFile() { std::filesystem::remove(SettingsFile()); }
