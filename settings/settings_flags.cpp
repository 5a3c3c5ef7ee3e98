#include "settings/settings_flags.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>

#include "platform/sys/utf8_truncate.h"
#include "settings/registry_words.h"
#include "settings/settings.h"

namespace {

using Change = std::function<void(SettingsRecord&)>;

std::vector<Change> kept;
bool liveFrameRate = false;

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

std::string Lowered(std::string text) {
  for (char& c : text) c = Lower(c);
  return text;
}

// A whole unsigned decimal number within [low, high].
bool ReadNumber(const std::string& text, uint32_t low, uint32_t high, uint32_t* out) {
  if (text.empty() || text.size() > 10) return false;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + uint64_t(c - '0');
  }
  if (value < low || value > high) return false;
  *out = uint32_t(value);
  return true;
}

// The code of a written word of the option, compared without case.
int32_t CodeOfFlagWord(const WordOption& option, const std::string& value) {
  for (int32_t code = 0; code < option.writtenCount; ++code) {
    if (Lowered(option.written[code]) == Lowered(value)) return code;
  }
  return -1;
}

std::string WordList(const WordOption& option) {
  std::string list;
  for (int32_t code = 0; code < option.writtenCount; ++code) {
    if (code > 0) list += code + 1 == option.writtenCount ? " or " : ", ";
    list += Lowered(option.written[code]);
  }
  return list;
}

// A count that may also be given as one of its words ("wireframe" for 0).
struct NamedCount {
  uint32_t SettingsRecord::*field;
  uint32_t maximum;
  std::vector<std::pair<const char*, uint32_t>> words;
};

const NamedCount* NamedCountOf(const std::string& flag) {
  static const NamedCount speed{&SettingsRecord::Speed, 20, {}};
  static const NamedCount generations{&SettingsRecord::Generations, UINT32_MAX, {}};
  static const NamedCount locus{&SettingsRecord::LocusOfSplit, 9, {}};
  static const NamedCount screenMode{
      &SettingsRecord::ScreenMode,
      3,
      {{"window", 0}, {"640x480", 1}, {"800x600", 2}, {"1024x768", 3}}};
  static const NamedCount screenColor{
      &SettingsRecord::ScreenColor, 3, {{"8", 0}, {"16", 1}, {"24", 2}, {"32", 3}}};
  static const NamedCount rendering{
      &SettingsRecord::Rendering, 2, {{"wireframe", 0}, {"flat", 1}, {"gouraud", 2}}};
  if (flag == "speed") return &speed;
  if (flag == "generations") return &generations;
  if (flag == "locus-of-split") return &locus;
  if (flag == "screen-mode") return &screenMode;
  if (flag == "screen-color") return &screenColor;
  if (flag == "rendering") return &rendering;
  return nullptr;
}

const WordOption* WordOptionOf(const std::string& flag) {
  if (flag == "fixed-speed") return &kFixedSpeedWords;
  if (flag == "size") return &kSizeWords;
  if (flag == "connect-tblr") return &kConnectTBLRWords;
  if (flag == "colors") return &kColorsWords;
  if (flag == "roll") return &kRollWords;
  if (flag == "camera-move") return &kCameraMoveWords;
  if (flag == "wave") return &kWaveWords;
  return nullptr;
}

template <size_t N>
Change StringChange(char (SettingsRecord::*field)[N], std::string text) {
  return [field, text](SettingsRecord& record) {
    CopyUtf8Truncated(text.data(), text.size(), record.*field, N);
  };
}

// Paths are made absolute, so that a saver started from another folder (as
// the screen-saver daemon does) finds the same file.
std::string AbsolutePath(const std::string& path) {
  std::error_code ignored;
  std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
  return absolute.empty() ? path : absolute.lexically_normal().string();
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string TakeWord(const WordOption& option, const std::string& value) {
  const int32_t code = CodeOfFlagWord(option, value);
  if (code < 0) return Quoted(value) + " is not one of " + WordList(option);
  int32_t SettingsRecord::*field = option.field;
  kept.push_back([field, code](SettingsRecord& record) { record.*field = code; });
  return {};
}

std::string TakeCount(const NamedCount& count, const std::string& value) {
  uint32_t number = 0;
  bool read = ReadNumber(value, 0, count.maximum, &number);
  for (const auto& [word, code] : count.words) {
    if (Lowered(value) == word) {
      number = code;
      read = true;
    }
  }
  if (!read) return Quoted(value) + " is not a whole number from 0 to " +
                    std::to_string(count.maximum) + (count.words.empty() ? "" : " or one of its words");
  uint32_t SettingsRecord::*field = count.field;
  kept.push_back([field, number](SettingsRecord& record) { record.*field = number; });
  return {};
}

std::string TakeScale(const std::string& value) {
  const char* text = value.c_str();
  char* end = nullptr;
  errno = 0;
  const double scale = std::strtod(text, &end);
  if (value.empty() || *end != '\0' || errno != 0 || !std::isfinite(scale) || scale < 0.01 ||
      scale > 100.0) {
    return Quoted(value) + " is not a number from 0.01 to 100";
  }
  kept.push_back([scale](SettingsRecord& record) { record.XScale = float(scale); });
  return {};
}

std::string TakeText(const std::string& flag, const std::string& value) {
  if (flag == "texture-name") {
    std::string name = value;
    if (Lowered(value) == "none") name = kNoTextureName;
    else if (Lowered(value) == "x-file") name = kXFileTextureName;
    else if (value != kNoTextureName && value != kXFileTextureName) name = AbsolutePath(value);
    if (name.size() >= sizeof SettingsRecord{}.TextureName) return "the path is too long";
    kept.push_back(StringChange(&SettingsRecord::TextureName, name));
    return {};
  }
  if (flag == "x-file-name") {
    if (value.empty()) return "the path is empty";
    std::string path = AbsolutePath(value);
    if (path.size() >= sizeof SettingsRecord{}.XFileName) return "the path is too long";
    kept.push_back(StringChange(&SettingsRecord::XFileName, path));
    return {};
  }
  if (value.size() >= sizeof SettingsRecord{}.DDDriverName) return "the name is too long";
  if (flag == "dd-driver-name") kept.push_back(StringChange(&SettingsRecord::DDDriverName, value));
  if (flag == "d3d-driver-name") kept.push_back(StringChange(&SettingsRecord::D3DDriverName, value));
  return {};
}

}  // namespace

const std::vector<SettingsFlagInfo>& SettingsFlags() {
  static const std::vector<SettingsFlagInfo> flags = {
      {"fixed-speed", "FixedSpeed", "fixed or random (a new speed for every run)", true},
      {"speed", "Speed", "0 (slowest) to 20 (fastest)", true},
      {"size", "Size", "small, middle, big or random", true},
      {"generations", "Generations", "a whole number: settled generations before a new board",
       true},
      {"connect-tblr", "ConnectTBLR", "off, on or random", true},
      {"colors", "Colors", "1 (single), 2 (gradation), 3 (multiple) or random", true},
      {"roll", "Roll", "nasi (none), kurukuru (spin), guruguru (tumble) or random", true},
      {"camera-move", "CameraMove", "off, on or random", true},
      {"wave", "Wave", "off, parallel, ripple or random", true},
      {"locus-of-split", "LocusOfSplit", "0 to 9 frames per generation", true},
      {"screen-mode", "ScreenMode", "window, 640x480, 800x600 or 1024x768 (or 0 to 3)", true},
      {"screen-color", "ScreenColor", "8, 16, 24 or 32 bits (or 0 to 3)", true},
      {"rendering", "Rendering", "wireframe, flat or gouraud (or 0 to 2)", true},
      {"fps", "FPS", "shows the frame rate of the last second", false},
      {"no-fps", "FPS", "hides the frame rate", false},
      {"x-scale", "XScale", "0.01 to 100", true},
      {"x-file-name", "XFileName", "path of the .x object file", true},
      {"texture-name", "TextureName", "path of an image, none (colours) or x-file", true},
      {"dd-driver-name", "DDDriverName", "monitor name, empty for the primary one", true},
      {"d3d-driver-name", "D3DDriverName", "renderer name or Auto", true},
  };
  return flags;
}

const SettingsFlagInfo* FindSettingsFlag(const std::string& name) {
  const std::string lowered = Lowered(name);
  for (const SettingsFlagInfo& flag : SettingsFlags()) {
    if (lowered == flag.flag) return &flag;
  }
  return nullptr;
}

std::string AddSettingsFlag(const SettingsFlagInfo& flag, const std::string& value) {
  const std::string name = flag.flag;
  if (name == "fps" || name == "no-fps") {
    const uint32_t on = name == "fps" ? 1 : 0;
    liveFrameRate = on != 0;
    kept.push_back([on](SettingsRecord& record) { record.FPS = on; });
    return {};
  }
  if (const WordOption* option = WordOptionOf(name)) return TakeWord(*option, value);
  if (const NamedCount* count = NamedCountOf(name)) return TakeCount(*count, value);
  if (name == "x-scale") return TakeScale(value);
  return TakeText(name, value);
}

void ApplySettingsFlags() {
  for (const Change& change : kept) change(Settings);
}

bool AnySettingsFlags() { return !kept.empty(); }

bool LiveFrameRateRequested() { return liveFrameRate; }

void ClearSettingsFlagsForTesting() {
  kept.clear();
  liveFrameRate = false;
}
