#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/sys/module_path.h"
#include "platform/sys/string_resource.h"
#include "platform/sys/utf8_truncate.h"

namespace {

TEST(ModulePath, IsThisProgramAndFitsTheBuffer) {
  char path[260];
  const uint32_t length = GetModuleFileNameA(path, sizeof path);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(length, std::strlen(path));
  EXPECT_NE(std::string(path).find("sys_tests"), std::string::npos);
  EXPECT_EQ(access(path, X_OK), 0);

  char tiny[4];
  EXPECT_EQ(GetModuleFileNameA(tiny, sizeof tiny), 3u);
  EXPECT_EQ(std::strlen(tiny), 3u);
}

// What does not fit is cut, and the string the system leaves empty stays so.
TEST(StringResources, AreCutToTheRoomGiven) {
  const struct {
    uint32_t id;
    int room, length;
    const char* text;
  } cases[] = {{1009, 13, 11, "Quellar.hlp"}, {1009, 5, 4, "Quel"}, {1008, 64, 0, ""}};
  for (const auto& c : cases) {
    char text[64] = "stale";
    EXPECT_EQ(LoadStringA(c.id, text, c.room), c.length) << c.id << " in " << c.room;
    EXPECT_STREQ(text, c.text) << c.id << " in " << c.room;
  }
}

TEST(Utf8Truncation, NeverCutsACharacterAndKeepsStrayBytes) {
  const std::string japanese = "なし";  // two characters of three bytes
  char buffer[6];
  EXPECT_EQ(CopyUtf8Truncated(japanese.data(), japanese.size(), buffer, sizeof buffer), 3u);
  EXPECT_EQ(std::string(buffer), "な");
  EXPECT_EQ(CopyUtf8Truncated(japanese.data(), japanese.size(), buffer, 3), 0u);
  EXPECT_STREQ(buffer, "");

  const std::string stray = "a\xff\xe3\x81";  // a stray byte, then half a character
  EXPECT_EQ(Utf8PrefixLength(stray.data(), stray.size(), 10), 4u);
  EXPECT_EQ(Utf8PrefixLength(stray.data(), stray.size(), 3), 3u);
  EXPECT_EQ(Utf8SequenceLength(stray.data(), 1, stray.size()), 0u);
  EXPECT_EQ(Utf8SequenceLength(japanese.data(), 0, japanese.size()), 3u);
}

}  // namespace
