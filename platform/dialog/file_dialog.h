#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/win_types.h"

// The "open file" chooser.

struct OPENFILENAMEA {
  uint32_t lStructSize = sizeof(OPENFILENAMEA);
  HWND hwndOwner = 0;
  void* hInstance = nullptr;
  // Pairs of NUL-terminated texts (shown name, then patterns separated by ";"),
  // ended by an empty text: "X file(*.x)\0*.x\0All(*.*)\0*.*\0\0".
  const char* lpstrFilter = nullptr;
  char* lpstrCustomFilter = nullptr;
  uint32_t nMaxCustFilter = 0;
  uint32_t nFilterIndex = 0;  // 1-based; 0 picks the first pair
  // In: the name the chooser starts with (may be empty). Out: the chosen path.
  char* lpstrFile = nullptr;
  uint32_t nMaxFile = 0;
  char* lpstrFileTitle = nullptr;  // out: the chosen file's name without its folder
  uint32_t nMaxFileTitle = 0;
  const char* lpstrInitialDir = nullptr;
  const char* lpstrTitle = nullptr;
  uint32_t Flags = 0;
  uint16_t nFileOffset = 0;     // out: where the name starts in lpstrFile
  uint16_t nFileExtension = 0;  // out: where the extension starts (0: none)
  const char* lpstrDefExt = nullptr;
  LPARAM lCustData = 0;
  void* lpfnHook = nullptr;
  const char* lpTemplateName = nullptr;
};

constexpr uint32_t OFN_READONLY = 0x00000001;
constexpr uint32_t OFN_HIDEREADONLY = 0x00000004;
constexpr uint32_t OFN_PATHMUSTEXIST = 0x00000800;
constexpr uint32_t OFN_FILEMUSTEXIST = 0x00001000;

// Modal; true when the user chose a file, whose path (UTF-8, absolute) is then
// in lpstrFile. False when the user cancelled, when the path does not fit in
// nMaxFile bytes, or when the structure is unusable; lpstrFile keeps its text.
// Paths may use "/" or "\" before the last name.
bool GetOpenFileNameA(OPENFILENAMEA* ofn);

// What the chooser was asked, as tests see it.
struct FileChooserRequest {
  HWND owner = 0;
  std::string title;
  std::string initialFolder;
  std::string initialName;
  std::vector<std::pair<std::string, std::string>> filters;  // shown name, patterns
  int filterIndex = 0;  // 0-based
  bool fileMustExist = false;
};

// Tests answer in place of the user: a path, or nothing for Cancel. An empty
// function restores the real chooser.
void SetFileChooserForTesting(
    std::function<std::optional<std::string>(const FileChooserRequest&)> chooser);
