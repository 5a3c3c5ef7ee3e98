#pragma once
#include <optional>
#include <string>

#include "platform/registry/registry_document.h"

// Where a key of HKEY_CURRENT_USER lives: the folder of its file and the
// file's name. Empty when the key name is not one we can store.
struct KeyFileLocation {
  std::string folder;
  std::string fileName;
};
std::optional<KeyFileLocation> LocateKeyFile(const char* subKey);

// The key file's values; null when the file is missing or cannot be read.
std::optional<RegistryDocument> ReadKeyFile(const KeyFileLocation& location);

// Makes the folders of a key; false when they cannot be made.
bool MakeKeyFolders(const KeyFileLocation& location);

// Rereads the file under the key's lock, lets `change` apply the caller's
// values to it and replaces the file in one step (temporary file, fsync,
// rename). Another process saving at the same time waits for the lock.
template <typename Change>
bool RewriteKeyFile(const KeyFileLocation& location, Change change);

bool ReplaceKeyFile(const KeyFileLocation& location,
                    RegistryDocument (*merge)(RegistryDocument current, const void* context),
                    const void* context);

template <typename Change>
bool RewriteKeyFile(const KeyFileLocation& location, Change change) {
  return ReplaceKeyFile(
      location,
      [](RegistryDocument current, const void* context) {
        return (*static_cast<const Change*>(context))(std::move(current));
      },
      &change);
}
