#pragma once
#include <cstdint>
#include <string>

#include "platform/sys/last_error.h"

// The per-user key store. A key is one text file under $XDG_CONFIG_HOME (see
// README.md): "Software\Varune\Quellar\Settings" is
// $XDG_CONFIG_HOME/Software/Varune/Quellar/Settings.reg. Results are the
// codes of last_error.h: ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, ERROR_MORE_DATA...
using LSTATUS = uint32_t;

class RegistryKey;
using HKEY = RegistryKey*;

enum class RegistryRoot { HKEY_CURRENT_USER };
inline constexpr RegistryRoot HKEY_CURRENT_USER = RegistryRoot::HKEY_CURRENT_USER;

using REGSAM = uint32_t;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

inline constexpr uint32_t REG_NONE = 0;
inline constexpr uint32_t REG_SZ = 1;
inline constexpr uint32_t REG_BINARY = 3;
inline constexpr uint32_t REG_DWORD = 4;

// Fails with ERROR_FILE_NOT_FOUND when the key does not exist. The handle
// sees the values as they were when it was opened.
LSTATUS RegOpenKeyExA(RegistryRoot root, const char* subKey, REGSAM access, HKEY* result);

// Opens the key, making it and its parents when they are missing.
LSTATUS RegCreateKeyExA(RegistryRoot root, const char* subKey, REGSAM access, HKEY* result);

// dataSize holds the buffer's size on entry and the value's size on return.
// A value larger than the buffer fails with ERROR_MORE_DATA and leaves the
// buffer alone. A REG_SZ value's size includes its terminating NUL. Null
// data asks for the size only; null type and dataSize are allowed.
LSTATUS RegQueryValueExA(HKEY key, const char* valueName, uint32_t* type, uint8_t* data,
                         uint32_t* dataSize);

// A REG_SZ value is the bytes up to a terminating NUL, which the caller may
// count in dataSize or not. Writes reach the file, together and atomically,
// when the key is closed; a reader or another writer never sees half of them.
LSTATUS RegSetValueExA(HKEY key, const char* valueName, uint32_t type, const uint8_t* data,
                       uint32_t dataSize);

// Writes what was set on the handle, then frees it. Fails (and still frees
// the handle) when the file could not be written.
LSTATUS RegCloseKey(HKEY key);

// Not of the Windows registry, for this platform's files:

// Where the key's file is, for messages to the user; empty when the key name
// cannot be stored.
std::string RegKeyFilePath(const char* subKey);

// Comment lines for the top of a key file that this handle creates: a file
// that exists when the key is closed keeps its own text.
LSTATUS RegSetNewKeyComment(HKEY key, const char* text);
