#include "settings/default_x_file_name.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/sys/utf8_truncate.h"

namespace {

// Where the stem ends: at the file name's last dot, or at its end when it has
// none. A leading dot names a hidden file, not an extension.
size_t StemLength(std::string_view path) {
  const size_t separator = path.find_last_of("/\\");
  const size_t nameStart = separator == std::string_view::npos ? 0 : separator + 1;
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || dot <= nameStart) return path.size();
  return dot;
}

}  // namespace

void DeriveXFileName(const char* programPath, char* out, size_t size) {
  if (!out || size == 0) return;
  constexpr std::string_view kExtension = ".X";
  const std::string_view path = programPath ? programPath : "";
  size_t stem = StemLength(path);
  if (size - 1 < kExtension.size()) {
    out[0] = '\0';
    return;
  }
  stem = Utf8PrefixLength(path.data(), stem, size - 1 - kExtension.size());
  std::memcpy(out, path.data(), stem);
  std::memcpy(out + stem, kExtension.data(), kExtension.size());
  out[stem + kExtension.size()] = '\0';
}

namespace {

bool IsFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

}  // namespace

void DefaultXFileName(const char* programPath, char* out, size_t size) {
  DeriveXFileName(programPath, out, size);
  if (!out || size == 0 || !programPath || IsFile(out)) return;
  const std::filesystem::path program(programPath);
  const std::string installed =
      (program.parent_path().parent_path() / "share" / "quellar" / "quellar.X").string();
  if (installed.size() >= size || !IsFile(installed)) return;
  std::memcpy(out, installed.c_str(), installed.size() + 1);
}
