#include "platform/sys/platform_identity.h"
#include "settings/settings.h"

int GetPlatformClass() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  GetVersionExA(&info);
  if (info.dwPlatformId == VER_PLATFORM_WIN32_NT) {
    return info.dwMajorVersion == 4 ? kPlatformWindowsNT4 : kPlatformWindows9x;
  }
  return int(info.dwPlatformId);
}
