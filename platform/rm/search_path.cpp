#include "platform/rm/search_path.h"

#include <sys/stat.h>

#include <algorithm>

namespace {

bool IsFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string Join(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  return dir.back() == '/' ? dir + name : dir + "/" + name;
}

std::vector<std::string> Split(const std::string& list) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    std::string part = NormalizeSlashes(list.substr(start, end - start));
    if (!part.empty()) parts.push_back(part);
    start = end + 1;
  }
  return parts;
}

}  // namespace

std::string NormalizeSlashes(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

void SearchPath::Set(const std::string& list) {
  folders_ = Split(list);
}

void SearchPath::Add(const std::string& list) {
  for (auto& folder : Split(list)) folders_.push_back(folder);
}

std::string SearchPath::Get() const {
  std::string list;
  for (const auto& folder : folders_) list += (list.empty() ? "" : ";") + folder;
  return list;
}

std::string SearchPath::Find(const std::string& name, const std::string& beside_dir) const {
  const std::string wanted = NormalizeSlashes(name);
  if (wanted.empty()) return {};
  if (IsFile(wanted)) return wanted;
  if (wanted.front() == '/') return {};
  if (!beside_dir.empty() && IsFile(Join(beside_dir, wanted))) return Join(beside_dir, wanted);
  for (const auto& folder : folders_)
    if (IsFile(Join(folder, wanted))) return Join(folder, wanted);
  return {};
}
