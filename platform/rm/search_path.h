#pragma once
#include <string>
#include <vector>

// Folders where files named by the system or by a model file are looked for.
// Backslashes count as separators, as in paths written on Windows.
class SearchPath {
 public:
  void Set(const std::string& list);
  void Add(const std::string& list);
  std::string Get() const;
  // The first existing file among `name` as given, beside `beside_dir` (if
  // not empty) and in each folder; empty when none exists.
  std::string Find(const std::string& name, const std::string& beside_dir = {}) const;

 private:
  std::vector<std::string> folders_;
};

// Turns backslashes into slashes.
std::string NormalizeSlashes(std::string path);
