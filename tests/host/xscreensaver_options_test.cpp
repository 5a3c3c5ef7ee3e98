#include "host/xscreensaver_options.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
  const char* line;
  const char* environment;
  bool present = false, fullScreen = false;
  HWND window = 0;
};

void Expect(const Case& c) {
  XScreenSaverRequest r = ReadXScreenSaverOptions(c.line, c.environment);
  SCOPED_TRACE(std::string(c.line) + " with " + (c.environment ? c.environment : "nothing"));
  EXPECT_EQ(r.present, c.present);
  if (!c.present) return;
  EXPECT_EQ(r.fullScreen, c.fullScreen);
  EXPECT_EQ(r.window, c.window);
}

TEST(XScreenSaverOptions, WindowFromTheIdOrTheEnvironment) {
  for (const Case& c : std::initializer_list<Case>{
           {"-window-id 0x2F9A0f7", nullptr, true, false, 0x2F9A0F7},  // every digit range's ends
           {"--window-id 4299", nullptr, true, false, 4299},
           {"-root -window-id 0x10", "0x99", true, false, 0x10},  // the explicit id wins
           {"-root", "0x1e00004", true, false, 0x1e00004},
           {"--root", "31457284", true, false, 31457284},
           {"-root", "", true, true, 0}}) {
    Expect(c);
  }
  // Ids that cannot be read give no window; ordinary switches are none of these.
  for (const char* line : {"-window-id", "-window-id zz", "-window-id 0x", "-window-id 12ab",
                           "-window-id 0x1FFFFFFFF", "-window-id -5", "-window-id 0x1:"}) {
    Expect({line, nullptr, true, false, 0});
  }
  Expect({"-root", "not-a-window", true, false, 0});
  for (const char* line : {"/s", "/p 1234", "", "-s", "/c:12", "-rootless"}) Expect({line, "0x10"});
}

}  // namespace
