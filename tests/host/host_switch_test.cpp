#include "host/host_switch.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Rest(const HostSwitch& s) {
  return s.rest ? s.rest : "<none>";
}

TEST(ReadHostSwitch, NoSwitchOpensTheDialogWithoutOwner) {
  for (const char* line : {"", "   ", "-", "/", " -/ /-"}) {
    HostSwitch s = ReadHostSwitch(line);
    EXPECT_EQ(s.mode, HostMode::Configure) << '"' << line << '"';
    EXPECT_EQ(s.rest, nullptr);
  }
}

TEST(ReadHostSwitch, SaverWhateverFollowsTheLetter) {
  for (const char* line : {"/s", "-S", "s", "/S:1", "  --/s 1234", "/screen"}) {
    EXPECT_EQ(ReadHostSwitch(line).mode, HostMode::Saver) << line;
  }
}

TEST(ReadHostSwitch, PreviewTakesTheTextAfterTheLetterAndItsSpaces) {
  HostSwitch p = ReadHostSwitch("/p   1234");
  EXPECT_EQ(p.mode, HostMode::Preview);
  EXPECT_EQ(Rest(p), "1234");
  HostSwitch l = ReadHostSwitch("-L1234");
  EXPECT_EQ(l.mode, HostMode::Preview);
  EXPECT_EQ(Rest(l), "1234");
  EXPECT_EQ(Rest(ReadHostSwitch("/p")), "");
}

TEST(ReadHostSwitch, ConfigureTakesAnOwnerOnlyAfterAColon) {
  EXPECT_EQ(Rest(ReadHostSwitch("/c:1234")), "1234");
  EXPECT_EQ(ReadHostSwitch("/c 1234").rest, nullptr);
  EXPECT_EQ(ReadHostSwitch("/C").rest, nullptr);
  EXPECT_EQ(ReadHostSwitch("/c 1234").mode, HostMode::Configure);
}

TEST(ReadHostSwitch, PasswordChangeAndUnknownSwitches) {
  HostSwitch a = ReadHostSwitch("/a 77");
  EXPECT_EQ(a.mode, HostMode::ChangePassword);
  EXPECT_EQ(Rest(a), "77");
  for (const char* line : {"/x", "1234", "?", "/\xE3\x81\x82"}) {
    EXPECT_EQ(ReadHostSwitch(line).mode, HostMode::Unknown) << line;
  }
}

TEST(SkipProgramName, PlainAndQuotedNames) {
  EXPECT_STREQ(SkipProgramName("quellar /s"), "/s");
  EXPECT_STREQ(SkipProgramName("quellar   \t /p 5"), "/p 5");
  EXPECT_STREQ(SkipProgramName("\"/opt/my saver/quellar\" /c"), "/c");
  EXPECT_STREQ(SkipProgramName("\"unterminated /s"), "");
  EXPECT_STREQ(SkipProgramName("quellar"), "");
  EXPECT_STREQ(SkipProgramName("  /s"), "/s");
}

TEST(ParseWindowHandle, DecimalDigitsUpToTheFirstOther) {
  EXPECT_EQ(ParseWindowHandle("1234"), 1234u);
  EXPECT_EQ(ParseWindowHandle("1234abc"), 1234u);
  EXPECT_EQ(ParseWindowHandle("-5"), 0u);
  EXPECT_EQ(ParseWindowHandle(""), 0u);
  EXPECT_EQ(ParseWindowHandle("0x10"), 0u);
  EXPECT_EQ(ParseWindowHandle("4294967296"), 0u) << "wraps at 32 bits";
  EXPECT_EQ(ParseWindowHandle("4294967297"), 1u);
}

}  // namespace
