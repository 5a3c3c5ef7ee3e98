#include "quellar_render/settings_overrides.h"

#include <strings.h>

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>

#include "platform/registry/registry.h"
#include "platform/sys/module_path.h"
#include "settings/settings.h"

namespace {

enum class ValueKind { Word, Count, Float, Text };

struct StoredName {
  const char* name;
  ValueKind kind;
};

constexpr StoredName kStoredNames[] = {
    {"FixedSpeed", ValueKind::Word},   {"Speed", ValueKind::Count},
    {"Size", ValueKind::Word},         {"Generations", ValueKind::Count},
    {"ConnectTBLR", ValueKind::Word},  {"Colors", ValueKind::Word},
    {"Roll", ValueKind::Word},         {"CameraMove", ValueKind::Word},
    {"Wave", ValueKind::Word},         {"LocusOfSplit", ValueKind::Count},
    {"ScreenMode", ValueKind::Count},  {"ScreenColor", ValueKind::Count},
    {"Rendering", ValueKind::Count},   {"FPS", ValueKind::Count},
    {"XScale", ValueKind::Float},      {"XFileName", ValueKind::Text},
    {"TextureName", ValueKind::Text},  {"DDDriverName", ValueKind::Text},
    {"D3DDriverName", ValueKind::Text}};

const StoredName* FindName(const std::string& name) {
  for (const StoredName& stored : kStoredNames) {
    if (strcasecmp(stored.name, name.c_str()) == 0) return &stored;
  }
  return nullptr;
}

// One value ready for the store: its type and bytes.
struct StoredValue {
  const char* name;
  uint32_t type;
  std::string data;
};

// Counts accept what a hand-edited store may hold, negative numbers included,
// which the store keeps as their unsigned 32-bit pattern.
std::optional<uint32_t> ParseCount(const std::string& text) {
  const char* end = text.data() + text.size();
  int64_t value = 0;
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  if (value < INT32_MIN || value > UINT32_MAX) return std::nullopt;
  return static_cast<uint32_t>(value);
}

std::optional<StoredValue> Prepare(const std::string& name, const std::string& text,
                                   std::string* error) {
  const StoredName* stored = FindName(name);
  if (!stored) {
    *error = "the settings have no value named " + name;
    return std::nullopt;
  }
  StoredValue value{stored->name, REG_SZ, text + '\0'};
  if (stored->kind == ValueKind::Count) {
    const std::optional<uint32_t> count = ParseCount(text);
    if (!count) {
      *error = name + " needs a whole number, not " + text;
      return std::nullopt;
    }
    value.type = REG_DWORD;
    value.data.assign(reinterpret_cast<const char*>(&*count), sizeof(uint32_t));
  } else if (stored->kind == ValueKind::Float) {
    char* end = nullptr;
    const float scale = std::strtof(text.c_str(), &end);
    if (text.empty() || *end != '\0') {
      *error = name + " needs a number, not " + text;
      return std::nullopt;
    }
    value.type = REG_BINARY;
    value.data.assign(reinterpret_cast<const char*>(&scale), sizeof(float));
  }
  return value;
}

bool StoreHolds(const char* valueName) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyName, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  uint32_t size = 0;
  const bool holds = RegQueryValueExA(key, valueName, nullptr, nullptr, &size) == ERROR_SUCCESS;
  RegCloseKey(key);
  return holds;
}

// The saver looks for its object beside itself under its own name; this tool
// sits in the same folder as the quellar program.
void UseObjectBesideQuellar() {
  char program[sizeof(Settings.XFileName)] = {};
  if (GetModuleFileNameA(program, sizeof(program)) == 0) return;
  std::string path(program);
  const size_t slash = path.find_last_of('/');
  path = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "quellar.X";
  if (path.size() >= sizeof(Settings.XFileName)) return;
  std::memcpy(Settings.XFileName, path.c_str(), path.size() + 1);
}

// Points the settings store at a scratch folder for as long as it lives.
class ScratchStore {
 public:
  ScratchStore() {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    if (old) oldConfigHome_ = old;
    std::string pattern = std::filesystem::temp_directory_path() / "quellar-render-XXXXXX";
    if (mkdtemp(pattern.data())) {
      folder_ = pattern;
      setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
    }
  }
  ~ScratchStore() {
    if (oldConfigHome_) {
      setenv("XDG_CONFIG_HOME", oldConfigHome_->c_str(), 1);
    } else {
      unsetenv("XDG_CONFIG_HOME");
    }
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  }
  ScratchStore(const ScratchStore&) = delete;
  ScratchStore& operator=(const ScratchStore&) = delete;
  bool Ready() const { return !folder_.empty(); }

 private:
  std::optional<std::string> oldConfigHome_;
  std::string folder_;
};

bool ReadBackThroughStore(const std::vector<StoredValue>& values, std::string* error) {
  ScratchStore scratch;
  if (!scratch.Ready()) {
    *error = "no scratch folder for the settings";
    return false;
  }
  SaveSettings();
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKeyName, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
    *error = "the scratch settings cannot be written";
    return false;
  }
  // Saving leaves FPS out; it must survive the round trip all the same.
  RegSetValueExA(key, "FPS", REG_DWORD, reinterpret_cast<const uint8_t*>(&Settings.FPS),
                 sizeof(Settings.FPS));
  for (const StoredValue& value : values) {
    RegSetValueExA(key, value.name, value.type, reinterpret_cast<const uint8_t*>(value.data.data()),
                   static_cast<uint32_t>(value.data.size()));
  }
  if (RegCloseKey(key) != ERROR_SUCCESS) {
    *error = "the scratch settings cannot be written";
    return false;
  }
  LoadSettings();
  return true;
}

}  // namespace

bool LoadRenderSettings(const std::vector<std::pair<std::string, std::string>>& overrides,
                        std::string* error) {
  LoadSettings();
  if (!StoreHolds("XFileName")) UseObjectBesideQuellar();
  if (overrides.empty()) return true;
  std::vector<StoredValue> values;
  for (const auto& [name, text] : overrides) {
    std::optional<StoredValue> value = Prepare(name, text, error);
    if (!value) return false;
    values.push_back(std::move(*value));
  }
  return ReadBackThroughStore(values, error);
}
