#include "platform/sys/platform_identity.h"

#include <atomic>
#include <cstring>

namespace {

// An NT-class platform that is not NT 4: the windowed-only path stays off.
constexpr uint32_t kPlatformId = VER_PLATFORM_WIN32_NT;
constexpr uint32_t kMajorVersion = 5;
constexpr uint32_t kMinorVersion = 1;

std::atomic<bool> overridden{false};
std::atomic<uint32_t> overridePlatformId{0};
std::atomic<uint32_t> overrideMajor{0};
std::atomic<uint32_t> overrideMinor{0};

}  // namespace

bool GetVersionExA(OSVERSIONINFOA* info) {
  if (!info || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return false;
  const bool useOverride = overridden.load();
  info->dwPlatformId = useOverride ? overridePlatformId.load() : kPlatformId;
  info->dwMajorVersion = useOverride ? overrideMajor.load() : kMajorVersion;
  info->dwMinorVersion = useOverride ? overrideMinor.load() : kMinorVersion;
  info->dwBuildNumber = 0;
  std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
  return true;
}

void SetPlatformIdentityForTesting(uint32_t platformId, uint32_t majorVersion,
                                   uint32_t minorVersion) {
  overridePlatformId = platformId;
  overrideMajor = majorVersion;
  overrideMinor = minorVersion;
  overridden = true;
}

void ResetPlatformIdentityForTesting() { overridden = false; }
