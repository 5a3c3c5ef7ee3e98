#include <gtest/gtest.h>

#include <random>

#include "platform/registry/registry.h"
#include "platform/registry/registry_document.h"

namespace {

TEST(RegistryLine, ReadsTheThreeTypesAsAPersonWritesThem) {
  const struct {
    const char* line;
    uint32_t type;
    std::string data;
  } cases[] = {
      {"Size = sz \"Big\"", REG_SZ, "Big"},
      {"  Roll=SZ   kurukuru  ", REG_SZ, "kurukuru"},
      {"FPS = dword 1   # measure the frame rate", REG_DWORD, std::string("\x01\0\0\0", 4)},
      {"Speed = dword 0x14", REG_DWORD, std::string("\x14\0\0\0", 4)},
      {"Speed = dword 0XA", REG_DWORD, std::string("\x0a\0\0\0", 4)},
      {"Speed = dword -1", REG_DWORD, "\xff\xff\xff\xff"},
      {"Speed = dword 4294967295", REG_DWORD, "\xff\xff\xff\xff"},
      {"XScale = binary 00 00 80 3F", REG_BINARY, std::string("\0\0\x80\x3f", 4)},
      {"XScale = binary 0000803f", REG_BINARY, std::string("\0\0\x80\x3f", 4)},
  };
  for (const auto& c : cases) {
    auto value = ParseRegistryLine(c.line);
    ASSERT_TRUE(value) << c.line;
    EXPECT_EQ(value->type, c.type) << c.line;
    EXPECT_EQ(value->data, c.data) << c.line;
    const auto written = ParseRegistryLine(FormatRegistryLine(*value));  // and back
    ASSERT_TRUE(written) << c.line;
    EXPECT_EQ(written->data, c.data) << FormatRegistryLine(*value);
  }
  EXPECT_EQ(ParseRegistryLine("Size = sz \"Big\"")->name, "Size");
}

TEST(RegistryLine, DamagedLinesAreNoValueAtAll) {
  for (const char* damaged : {"", "# comment", "; comment", "no equals sign", "= sz \"no name\"",
                              "Speed = dword", "Speed = dword 4294967296",
                              "Speed = dword -2147483649", "Speed = dword 12abc", "Speed = qword 1",
                              "XScale = binary 00 00 80 3", "XScale = binary 0 0 80 3f",
                              "XScale = binary zz", "Name = sz \"unterminated",
                              "Name = sz \"bad escape \\q\"", "Name = sz \"short \\x4\"",
                              "Name = sz \"text\" trailing", "Speed = 19"}) {
    EXPECT_FALSE(ParseRegistryLine(damaged)) << damaged;
  }
}

TEST(RegistryDocument, KeepsWhatIsNotAValueAndLetsTheLastLineWin) {
  const std::string text =
      "# my settings\r\n"
      "Speed = dword 3\n"
      "garbage line\n"
      "FPS = dword 0\n"
      "FPS = dword 1\n"
      "Speed = dword zz\n";
  RegistryDocument document = RegistryDocument::Parse(text);
  ASSERT_TRUE(document.Find("fps"));
  EXPECT_EQ(document.Find("FPS")->data[0], 1) << "a line added by hand overrides";
  EXPECT_EQ(document.Find("Speed")->data[0], 3) << "a damaged line reads as missing";
  EXPECT_FALSE(document.Find("Size"));

  document.Set({"speed", REG_DWORD, std::string("\x05\0\0\0", 4)});
  document.Set({"Size", REG_SZ, "Big"});
  EXPECT_EQ(document.Format(),
            "# my settings\n"
            "speed = dword 5\n"
            "garbage line\n"
            "FPS = dword 0\n"
            "FPS = dword 1\n"
            "Size = sz \"Big\"\n");
}

TEST(RegistryDocument, RandomBytesNeverCrashTheParser) {
  std::mt19937 random(20240607);
  const std::string alphabet = "= \"\\x0123456789abcdefABCDEF#;sdwordbinaryz\n\r\t-\xe3\x81\xff";
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int length = int(random() % 200);
    for (int i = 0; i < length; ++i) {
      text += round % 2 ? char(random() & 0xFF) : alphabet[random() % alphabet.size()];
    }
    RegistryDocument document = RegistryDocument::Parse(text);
    document.Set({"Name", REG_SZ, text});
    // Whatever was read, writing it out and reading it again gives the same.
    const std::string once = document.Format();
    const RegistryDocument again = RegistryDocument::Parse(once);
    EXPECT_EQ(again.Format(), once);
    ASSERT_TRUE(again.Find("Name"));
    EXPECT_EQ(again.Find("Name")->data, text);
  }
}

}  // namespace
