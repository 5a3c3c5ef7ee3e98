#include "config/file_chooser.h"

#include "platform/dialog/file_dialog.h"
#include "platform/sys/utf8_truncate.h"

#include <cstring>

namespace {
constexpr size_t kPathSize = 260;
constexpr char kChooserTitle[] = "開く";
}  // namespace

void InitialFolderOf(const char* startPath, char* folder, size_t size) {
  CopyUtf8Truncated(startPath, std::strlen(startPath), folder, size);
  // Paths written on Windows separate folders with "\"; ours with "/".
  char* cut = nullptr;
  for (char* p = folder; *p != '\0'; ++p) {
    if (*p == '\\' || *p == '/') cut = p;
  }
  if (cut != nullptr) cut[1] = '\0';
}

bool ChooseFile(HWND owner, const char* startPath, const char* filter, char* path, size_t size) {
  char folder[kPathSize];
  InitialFolderOf(startPath, folder, sizeof folder);
  char file[kPathSize] = "";
  OPENFILENAMEA request;
  request.hwndOwner = owner;
  request.lpstrFilter = filter;
  request.nFilterIndex = 1;
  request.lpstrFile = file;
  request.nMaxFile = sizeof file;
  request.lpstrInitialDir = folder;
  request.lpstrTitle = kChooserTitle;
  request.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameA(&request)) return false;
  CopyUtf8Truncated(file, std::strlen(file), path, size);
  return true;
}
