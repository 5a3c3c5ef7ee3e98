#pragma once

#include <cstdlib>
#include <string>

#include "support/isolated_env.h"

// Key files of the test's own settings folder, read and written behind the registry's back.
inline std::string SoftwareFolder() { return std::string(std::getenv("XDG_CONFIG_HOME")) + "/Software"; }

inline std::string KeyFile(const std::string& leaf) { return SoftwareFolder() + "/Tests/" + leaf + ".reg"; }
