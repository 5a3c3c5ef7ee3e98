#pragma once
#include <string>
#include <utility>
#include <vector>

// Fills the Settings record as the saver would: from the settings store, or
// the defaults where it holds nothing. An object file is looked for beside the
// quellar program, as the saver's own default would find it, unless the store
// names one. Then each Name=Value override is stored in a scratch copy of the
// store and the record is read back from it, so an override means exactly what
// the same text in the store means (words, limits, float bits and all).
// False, with the reason, for a name the store does not have or a bad number.
bool LoadRenderSettings(const std::vector<std::pair<std::string, std::string>>& overrides,
                        std::string* error);
