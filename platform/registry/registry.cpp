#include "platform/registry/registry.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/registry/key_file.h"

class RegistryKey {
public:
  RegistryKey(KeyFileLocation location, RegistryDocument values, bool writable)
      : location(std::move(location)), values(std::move(values)), writable(writable) {}

  KeyFileLocation location;
  RegistryDocument values;  // as opened, with this handle's own writes applied
  bool writable;
  bool mustWrite = false;   // a created key whose file does not exist yet
  std::vector<RegistryValue> pending;
  std::string newFileComment;
};

namespace {

bool WantsWrite(REGSAM access) { return (access & (KEY_WRITE & ~KEY_READ)) != 0; }

bool IsStorableType(uint32_t type, uint32_t dataSize) {
  if (type == REG_DWORD) return dataSize == 4;
  return type == REG_SZ || type == REG_BINARY;
}

// A REG_SZ ends at its first NUL, whether or not the caller counted one.
std::string StringData(const uint8_t* data, uint32_t dataSize) {
  const char* text = reinterpret_cast<const char*>(data);
  const void* nul = std::memchr(text, '\0', dataSize);
  return std::string(text, nul ? static_cast<const char*>(nul) - text : dataSize);
}

std::string PathOf(const KeyFileLocation& location) {
  return location.folder + "/" + location.fileName;
}

// A line nobody can read is ignored, but the person who typed it hears so.
void ReportDamagedLines(const KeyFileLocation& location, const RegistryDocument& values) {
  for (const auto& [number, text] : values.DamagedLines()) {
    std::fprintf(stderr, "quellar: %s, line %d: \"%s\" cannot be read; the line is ignored\n",
                 PathOf(location).c_str(), number, text.c_str());
  }
}

}  // namespace

std::string RegKeyFilePath(const char* subKey) {
  std::optional<KeyFileLocation> location = LocateKeyFile(subKey);
  return location ? PathOf(*location) : std::string();
}

LSTATUS RegSetNewKeyComment(HKEY key, const char* text) {
  if (!key || !text) return ERROR_INVALID_PARAMETER;
  if (!key->writable) return ERROR_ACCESS_DENIED;
  key->newFileComment = text;
  return ERROR_SUCCESS;
}

LSTATUS RegOpenKeyExA(RegistryRoot, const char* subKey, REGSAM access, HKEY* result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  std::optional<KeyFileLocation> location = LocateKeyFile(subKey);
  if (!location) return ERROR_FILE_NOT_FOUND;
  std::optional<RegistryDocument> values = ReadKeyFile(*location);
  if (!values) return ERROR_FILE_NOT_FOUND;
  ReportDamagedLines(*location, *values);
  *result = new RegistryKey(std::move(*location), std::move(*values), WantsWrite(access));
  return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyExA(RegistryRoot, const char* subKey, REGSAM access, HKEY* result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  std::optional<KeyFileLocation> location = LocateKeyFile(subKey);
  if (!location) return ERROR_INVALID_PARAMETER;
  if (!MakeKeyFolders(*location)) return ERROR_ACCESS_DENIED;
  std::optional<RegistryDocument> values = ReadKeyFile(*location);
  const bool exists = values.has_value();
  auto* key = new RegistryKey(std::move(*location), std::move(values).value_or(RegistryDocument{}),
                              WantsWrite(access));
  key->mustWrite = !exists;
  *result = key;
  return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExA(HKEY key, const char* valueName, uint32_t* type, uint8_t* data,
                         uint32_t* dataSize) {
  if (!key) return ERROR_INVALID_HANDLE;
  if (data && !dataSize) return ERROR_INVALID_PARAMETER;
  const RegistryValue* value = key->values.Find(valueName ? valueName : "");
  if (!value) return ERROR_FILE_NOT_FOUND;
  const bool terminated = value->type == REG_SZ;
  const size_t size = value->data.size() + (terminated ? 1 : 0);
  if (size > UINT32_MAX) return ERROR_MORE_DATA;
  if (type) *type = value->type;
  const uint32_t room = dataSize ? *dataSize : 0;
  if (dataSize) *dataSize = uint32_t(size);
  if (!data) return ERROR_SUCCESS;
  if (size > room) return ERROR_MORE_DATA;
  std::memcpy(data, value->data.data(), value->data.size());
  if (terminated) data[value->data.size()] = '\0';
  return ERROR_SUCCESS;
}

LSTATUS RegSetValueExA(HKEY key, const char* valueName, uint32_t type, const uint8_t* data,
                       uint32_t dataSize) {
  if (!key) return ERROR_INVALID_HANDLE;
  if (!key->writable) return ERROR_ACCESS_DENIED;
  const std::string_view name = valueName ? valueName : "";
  if (!IsWritableValueName(name) || !IsStorableType(type, dataSize) || (!data && dataSize)) {
    return ERROR_INVALID_PARAMETER;
  }
  RegistryValue value{std::string(name), type, {}};
  if (dataSize) {
    value.data = type == REG_SZ ? StringData(data, dataSize)
                                : std::string(reinterpret_cast<const char*>(data), dataSize);
  }
  key->values.Set(value);
  key->pending.push_back(std::move(value));
  return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
  if (!key) return ERROR_INVALID_HANDLE;
  bool written = true;
  if (!key->pending.empty() || key->mustWrite) {
    // Values another program put into the file since it was opened (FPS
    // switched on by hand) survive: only this handle's own writes change.
    written = RewriteKeyFile(key->location, [key](RegistryDocument current) {
      const bool fresh = current.Empty();
      for (const RegistryValue& value : key->pending) current.Set(value);
      if (fresh && !key->newFileComment.empty()) current.PrependComment(key->newFileComment);
      return current;
    });
  }
  delete key;
  return written ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}
