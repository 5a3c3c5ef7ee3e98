#pragma once
#include <cstdint>

inline constexpr uint32_t VER_PLATFORM_WIN32s = 0;
inline constexpr uint32_t VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr uint32_t VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFOA {
  uint32_t dwOSVersionInfoSize;
  uint32_t dwMajorVersion;
  uint32_t dwMinorVersion;
  uint32_t dwBuildNumber;
  uint32_t dwPlatformId;
  char szCSDVersion[128];
};
static_assert(sizeof(OSVERSIONINFOA) == 148);

// This platform answers as an NT-class system that is not NT 4. Fails unless
// the size field holds sizeof(OSVERSIONINFOA).
bool GetVersionExA(OSVERSIONINFOA* info);

// Lets tests stand in for Windows 9x, NT 4 and the like; Reset returns to the
// real answer.
void SetPlatformIdentityForTesting(uint32_t platformId, uint32_t majorVersion,
                                   uint32_t minorVersion);
void ResetPlatformIdentityForTesting();
