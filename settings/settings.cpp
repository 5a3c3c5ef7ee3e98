#include "settings/settings.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/registry/registry.h"
#include "platform/sys/module_path.h"
#include "settings/default_x_file_name.h"
#include "settings/registry_words.h"

SettingsRecord Settings;

namespace {

// The order in which the words are read and written is the order of the file.
constexpr const WordOption* kWordsReadInOrder[] = {&kFixedSpeedWords, &kConnectTBLRWords,
                                                   &kSizeWords,       &kColorsWords,
                                                   &kRollWords,       &kWaveWords,
                                                   &kCameraMoveWords};

struct CountLimit {
  const char* name;
  uint32_t SettingsRecord::*field;
  uint32_t maximum;
};
constexpr CountLimit kCountsReadInOrder[] = {
    {"Speed", &SettingsRecord::Speed, 20},
    {"Generations", &SettingsRecord::Generations, UINT32_MAX},
    {"LocusOfSplit", &SettingsRecord::LocusOfSplit, 9},
    {"ScreenMode", &SettingsRecord::ScreenMode, 3},
    {"ScreenColor", &SettingsRecord::ScreenColor, 3},
    {"Rendering", &SettingsRecord::Rendering, 2},
};

template <size_t N>
void CopyString(char (&field)[N], const char* text) {
  std::strncpy(field, text, N - 1);
  field[N - 1] = '\0';
}

void SetDefaults() {
  Settings = SettingsRecord{};
  Settings.FixedSpeed = 0;
  Settings.Speed = 19;
  Settings.Size = 1;
  Settings.Generations = 20;
  Settings.ConnectTBLR = 0;
  Settings.Colors = 1;
  Settings.Roll = 0;
  Settings.CameraMove = 0;
  Settings.Wave = 0;
  Settings.LocusOfSplit = 9;
  Settings.ScreenMode = 1;
  Settings.ScreenColor = 1;
  Settings.Rendering = 1;
  Settings.FPS = 0;
  Settings.XScale = 1.0f;
  char programPath[sizeof Settings.XFileName];
  GetModuleFileNameA(programPath, sizeof programPath);
  DefaultXFileName(programPath, Settings.XFileName, sizeof Settings.XFileName);
  CopyString(Settings.TextureName, kNoTextureName);
  CopyString(Settings.DDDriverName, "");
  CopyString(Settings.D3DDriverName, "Auto");
  Settings.TextureFlag = false;
}

// A string value that fits the buffer, terminator included. A value of
// another type is not a string we could use, so it reads as missing.
bool QueryString(HKEY key, const char* name, char* buffer, uint32_t bufferSize) {
  uint32_t type = REG_NONE;
  uint32_t size = bufferSize;
  auto* data = reinterpret_cast<uint8_t*>(buffer);
  if (RegQueryValueExA(key, name, &type, data, &size) != ERROR_SUCCESS) return false;
  if (type != REG_SZ || size == 0) return false;
  buffer[size - 1] = '\0';
  return true;
}

// Four bytes of a number, little-endian. Text or a short binary is not one.
bool QueryFourBytes(HKEY key, const char* name, uint32_t* bits) {
  uint8_t data[4] = {};
  uint32_t type = REG_NONE;
  uint32_t size = sizeof data;
  if (RegQueryValueExA(key, name, &type, data, &size) != ERROR_SUCCESS) return false;
  if (size != sizeof data || (type != REG_DWORD && type != REG_BINARY)) return false;
  *bits = uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 |
          uint32_t(data[3]) << 24;
  return true;
}

// The value as its line reads, and what the saver takes instead.
void ReportNotUnderstood(const std::string& line, const std::string& used) {
  std::fprintf(stderr, "quellar: %s: %s is not understood; %s is used\n",
               RegKeyFilePath(kSettingsKeyName).c_str(), line.c_str(), used.c_str());
}

void ReadWord(HKEY key, const WordOption& option) {
  char word[16];
  if (QueryString(key, option.name, word, option.bufferSize)) {
    Settings.*option.field = CodeOfWord(option, word);
    if (!IsKnownWord(option, word)) {
      ReportNotUnderstood(std::string(option.name) + " = sz \"" + word + "\"",
                          WordOfCode(option, option.otherwise));
    }
  }
}

void ReadCount(HKEY key, const CountLimit& count) {
  uint32_t value = 0;
  if (!QueryFourBytes(key, count.name, &value)) return;
  Settings.*count.field = value > count.maximum ? count.maximum : value;
  if (value > count.maximum) {
    ReportNotUnderstood(std::string(count.name) + " = dword " + std::to_string(value),
                        std::to_string(count.maximum) + " (the largest value)");
  }
}

template <size_t N>
void ReadString(HKEY key, const char* name, char (&field)[N]) {
  char buffer[N] = {};
  if (QueryString(key, name, buffer, N)) std::memcpy(field, buffer, N);
}

void ReadValues(HKEY key) {
  for (const WordOption* option : kWordsReadInOrder) ReadWord(key, *option);
  for (const CountLimit& count : kCountsReadInOrder) ReadCount(key, count);
  ReadString(key, "XFileName", Settings.XFileName);
  ReadString(key, "TextureName", Settings.TextureName);
  uint32_t bits = 0;
  if (QueryFourBytes(key, "XScale", &bits)) Settings.XScale = std::bit_cast<float>(bits);
  QueryFourBytes(key, "FPS", &Settings.FPS);
  ReadString(key, "DDDriverName", Settings.DDDriverName);
  ReadString(key, "D3DDriverName", Settings.D3DDriverName);
}

void WriteWord(HKEY key, const WordOption& option) {
  // A code outside the table has no word; writing nothing keeps what is stored.
  const char* word = WordOfCode(option, Settings.*option.field);
  if (!word) return;
  RegSetValueExA(key, option.name, REG_SZ, reinterpret_cast<const uint8_t*>(word),
                 uint32_t(std::strlen(word) + 1));
}

void WriteFourBytes(HKEY key, const char* name, uint32_t type, uint32_t bits) {
  const uint8_t data[4] = {uint8_t(bits), uint8_t(bits >> 8), uint8_t(bits >> 16),
                           uint8_t(bits >> 24)};
  RegSetValueExA(key, name, type, data, sizeof data);
}

template <size_t N>
void WriteString(HKEY key, const char* name, const char (&field)[N]) {
  RegSetValueExA(key, name, REG_SZ, reinterpret_cast<const uint8_t*>(field),
                 uint32_t(strnlen(field, N - 1) + 1));
}

void WriteValues(HKEY key, bool withObjectFile = true) {
  WriteWord(key, kFixedSpeedWords);
  WriteWord(key, kConnectTBLRWords);
  WriteWord(key, kSizeWords);
  WriteWord(key, kColorsWords);
  WriteWord(key, kRollWords);
  WriteWord(key, kWaveWords);
  WriteFourBytes(key, "Speed", REG_DWORD, Settings.Speed);
  WriteFourBytes(key, "Generations", REG_DWORD, Settings.Generations);
  WriteWord(key, kCameraMoveWords);
  WriteFourBytes(key, "LocusOfSplit", REG_DWORD, Settings.LocusOfSplit);
  WriteFourBytes(key, "ScreenMode", REG_DWORD, Settings.ScreenMode);
  WriteFourBytes(key, "ScreenColor", REG_DWORD, Settings.ScreenColor);
  WriteFourBytes(key, "Rendering", REG_DWORD, Settings.Rendering);
  if (withObjectFile) WriteString(key, "XFileName", Settings.XFileName);
  WriteString(key, "TextureName", Settings.TextureName);
  WriteFourBytes(key, "XScale", REG_BINARY, std::bit_cast<uint32_t>(Settings.XScale));
  WriteString(key, "DDDriverName", Settings.DDDriverName);
  WriteString(key, "D3DDriverName", Settings.D3DDriverName);
}

constexpr char kFirstFileComment[] =
    "Quellar settings, written with every value at its default by the first run.\n"
    "Change a value in place or with the configuration dialog (quellar /c).\n"
    "What each value means, its words and its range: man 6 quellar, or the table\n"
    "of options in the README (share/doc/quellar/README.md). The format is\n"
    "\"Name = sz text\", \"Name = dword number\", \"Name = binary bytes\".\n"
    "\n"
    "XFileName is not set, so the object beside the program (or share/quellar/\n"
    "quellar.X of its installation) is used; to choose another object, add\n"
    "  XFileName = sz \"/path/to/object.x\"\n"
    "FPS = dword 1 shows the frame rate.";

bool SettingsFileMissing() {
  const std::string path = RegKeyFilePath(kSettingsKeyName);
  std::error_code error;
  return !path.empty() &&
         std::filesystem::symlink_status(path, error).type() ==
             std::filesystem::file_type::not_found;
}

// So that a user finds every value where the documentation says, with the
// defaults in place to change.
void WriteFirstSettingsFile() {
  if (!SettingsFileMissing()) return;
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKeyName, KEY_ALL_ACCESS, &key) !=
      ERROR_SUCCESS) {
    return;
  }
  RegSetNewKeyComment(key, kFirstFileComment);
  WriteValues(key, false);
  WriteFourBytes(key, "FPS", REG_DWORD, Settings.FPS);
  RegCloseKey(key);
}

}  // namespace

void LoadSettings() {
  SetDefaults();
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyName, KEY_READ, &key) != ERROR_SUCCESS) {
    WriteFirstSettingsFile();
    return;
  }
  ReadValues(key);
  if (GetPlatformClass() == kPlatformWindowsNT4) Settings.ScreenMode = 0;
  RegCloseKey(key);
}

void SaveSettings() {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKeyName, KEY_ALL_ACCESS, &key) !=
      ERROR_SUCCESS) {
    return;
  }
  WriteValues(key);
  RegCloseKey(key);
}
