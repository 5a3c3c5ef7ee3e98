#include "host/xscreensaver_options.h"

#include <gtest/gtest.h>

namespace {

TEST(XScreenSaverOptions, WindowIdInDecimalOrHexadecimal) {
  XScreenSaverRequest hex = ReadXScreenSaverOptions("-window-id 0x2A00007", nullptr);
  EXPECT_TRUE(hex.present);
  EXPECT_EQ(hex.window, 0x2A00007u);
  EXPECT_EQ(ReadXScreenSaverOptions("--window-id 4242", nullptr).window, 4242u);
  EXPECT_EQ(ReadXScreenSaverOptions("-root -window-id 0x10", "0x99").window, 0x10u)
      << "an explicit id wins over the environment";
}

TEST(XScreenSaverOptions, RootDrawsIntoTheWindowOfTheEnvironment) {
  XScreenSaverRequest r = ReadXScreenSaverOptions("-root", "0x1e00004");
  EXPECT_TRUE(r.present);
  EXPECT_FALSE(r.fullScreen);
  EXPECT_EQ(r.window, 0x1e00004u);
  EXPECT_EQ(ReadXScreenSaverOptions("--root", "31457284").window, 31457284u);
}

TEST(XScreenSaverOptions, RootAloneIsTheFullScreenSaver) {
  XScreenSaverRequest r = ReadXScreenSaverOptions("-root", "");
  EXPECT_TRUE(r.present);
  EXPECT_TRUE(r.fullScreen);
}

TEST(XScreenSaverOptions, BadIdsGiveNoWindow) {
  for (const char* line : {"-window-id", "-window-id zz", "-window-id 0x", "-window-id 12ab",
                           "-window-id 0x1FFFFFFFF", "-window-id -5"}) {
    XScreenSaverRequest r = ReadXScreenSaverOptions(line, nullptr);
    EXPECT_TRUE(r.present) << line;
    EXPECT_EQ(r.window, 0u) << line;
  }
  EXPECT_EQ(ReadXScreenSaverOptions("-root", "not-a-window").window, 0u);
}

TEST(XScreenSaverOptions, OrdinarySwitchesAreNotXScreenSaverOnes) {
  for (const char* line : {"/s", "/p 1234", "", "-s", "/c:12", "-rootless"}) {
    EXPECT_FALSE(ReadXScreenSaverOptions(line, "0x10").present) << line;
  }
}

}  // namespace
