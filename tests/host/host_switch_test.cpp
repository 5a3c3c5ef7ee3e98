#include "host/host_switch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const char* kNone = "<none>";

TEST(ReadHostSwitch, ModeAndTheTextAfterTheSwitch) {
  using enum HostMode;
  struct Case {
    HostMode mode;
    const char* rest;  // kNone: no text at all
    std::vector<const char*> lines;
  };
  for (const Case& c : std::initializer_list<Case>{
           {Configure, kNone, {"", "   ", "-", "/", " -/ /-", "/c 1234", "/C"}},
           {Configure, "1234", {"/c:1234"}},
           {Saver, kNone, {"/s", "-S", "s", "/S:1", "  --/s 1234", "/screen"}},
           {Preview, "1234", {"/p   1234", "-L1234"}},
           {Preview, "", {"/p"}},
           {ChangePassword, "77", {"/a 77"}},
           {Unknown, kNone, {"/x", "1234", "?", "/\xE3\x81\x82"}}}) {
    for (const char* line : c.lines) {
      HostSwitch s = ReadHostSwitch(line);
      EXPECT_EQ(s.mode, c.mode) << '"' << line << '"';
      if (c.mode == Saver || c.mode == Unknown) continue;
      EXPECT_EQ(std::string(s.rest ? s.rest : kNone), c.rest) << '"' << line << '"';
    }
  }
}

TEST(SkipProgramName, PlainAndQuotedNames) {
  const std::pair<const char*, const char*> cases[] = {{"quellar /s", "/s"},
                                                       {"quellar   \t /p 5", "/p 5"},
                                                       {"\"/opt/my saver/quellar\" /c", "/c"},
                                                       {"\"unterminated /s", ""},
                                                       {"quellar", ""},
                                                       {"  /s", "/s"}};
  for (auto [line, rest] : cases) EXPECT_STREQ(SkipProgramName(line), rest) << line;
}

TEST(ParseWindowHandle, DecimalDigitsUpToTheFirstOtherNoneBeyond32Bits) {
  const std::pair<const char*, HWND> cases[] = {{"1234", 1234},
                                                {"1234abc", 1234},
                                                {"-5", 0},
                                                {"", 0},
                                                {"0x10", 0},
                                                {"4294967296", 0},
                                                {"4294967295", 4294967295u},
                                                {"99999999999999999999999", 0}};
  for (auto [text, handle] : cases) EXPECT_EQ(ParseWindowHandle(text), handle) << text;
}

}  // namespace
