#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <tuple>
#include <utility>

#include "platform/registry/registry.h"
#include "tests/platform/registry/key_files.h"

namespace {

constexpr char kKey[] = "Software\\Tests\\Key";

LSTATUS SetString(HKEY key, const char* name, const char* text) {
  return RegSetValueExA(key, name, REG_SZ, reinterpret_cast<const uint8_t*>(text),
                        uint32_t(std::strlen(text) + 1));
}

LSTATUS SetDword(HKEY key, const char* name, uint8_t low) {
  const uint8_t number[4] = {low, 0, 0, 0};
  return RegSetValueExA(key, name, REG_DWORD, number, 4);
}

// (result, type, size, data): the data as far as the size reaches, or the
// whole buffer ('#' where nothing was written) when the query failed.
using Answer = std::tuple<LSTATUS, uint32_t, uint32_t, std::string>;

Answer Query(HKEY key, const char* name, uint32_t room = 16) {
  char data[16];
  std::memset(data, '#', sizeof data);
  uint32_t type = REG_NONE;
  const LSTATUS result = RegQueryValueExA(key, name, &type, reinterpret_cast<uint8_t*>(data), &room);
  return {result, type, room, std::string(data, result == ERROR_SUCCESS ? room : sizeof data)};
}

class RegistryKeyTest : public ::testing::Test {
protected:
  void SetUp() override { std::filesystem::remove_all(SoftwareFolder()); }
  void TearDown() override {
    if (key_) RegCloseKey(key_);
  }
  LSTATUS Open(REGSAM access = KEY_READ) { return RegOpenKeyExA(HKEY_CURRENT_USER, kKey, access, &key_); }
  LSTATUS Create() { return RegCreateKeyExA(HKEY_CURRENT_USER, kKey, KEY_ALL_ACCESS, &key_); }
  LSTATUS Close() { return RegCloseKey(std::exchange(key_, nullptr)); }
  HKEY key_ = nullptr;
};

TEST_F(RegistryKeyTest, OpeningAMissingKeyFailsAndCreatingOneMakesItsFile) {
  EXPECT_EQ(Open(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key_, nullptr);
  ASSERT_EQ(Create(), ERROR_SUCCESS);
  EXPECT_EQ(Close(), ERROR_SUCCESS);
  EXPECT_TRUE(std::filesystem::exists(KeyFile("Key")));
  EXPECT_EQ(Open(), ERROR_SUCCESS);
  for (const char* name : {"Software\\..\\..\\x", "Software\\\\x", "a/b", "", "Software\\"}) {
    HKEY outside = nullptr;
    EXPECT_NE(RegCreateKeyExA(HKEY_CURRENT_USER, name, KEY_ALL_ACCESS, &outside), ERROR_SUCCESS) << name;
  }
}

TEST_F(RegistryKeyTest, ValuesComeBackWithTheirTypesAndSizes) {
  ASSERT_EQ(Create(), ERROR_SUCCESS);
  SetString(key_, "Word", "Random");
  SetDword(key_, "Speed", 19);
  const uint8_t scale[4] = {0, 0, 0x80, 0x3f};
  RegSetValueExA(key_, "XScale", REG_BINARY, scale, 4);
  // Without its NUL counted, a string still reads back terminated.
  RegSetValueExA(key_, "Bare", REG_SZ, reinterpret_cast<const uint8_t*>("abc"), 3);
  EXPECT_EQ(std::get<0>(Query(key_, "Word")), ERROR_SUCCESS) << "seen by its handle";
  EXPECT_FALSE(std::filesystem::exists(KeyFile("Key"))) << "written together when the key closes";
  ASSERT_EQ(Close(), ERROR_SUCCESS);
  EXPECT_NE(ReadWholeFile(KeyFile("Key")).find("Word = sz \"Random\"\nSpeed = dword 19\n"),
            std::string::npos);

  ASSERT_EQ(Open(), ERROR_SUCCESS);
  EXPECT_EQ(Query(key_, "WORD"), Answer(ERROR_SUCCESS, REG_SZ, 7, std::string("Random", 7)));
  EXPECT_EQ(Query(key_, "Speed"), Answer(ERROR_SUCCESS, REG_DWORD, 4, std::string("\x13\0\0\0", 4)));
  EXPECT_EQ(Query(key_, "XScale"), Answer(ERROR_SUCCESS, REG_BINARY, 4, std::string("\0\0\x80\x3f", 4)));
  EXPECT_EQ(Query(key_, "Bare"), Answer(ERROR_SUCCESS, REG_SZ, 4, std::string("abc", 4)));
  EXPECT_EQ(std::get<0>(Query(key_, "Missing")), ERROR_FILE_NOT_FOUND);
  EXPECT_NE(SetString(key_, "Word", "x"), ERROR_SUCCESS) << "opened for reading only";
}

TEST_F(RegistryKeyTest, ASaveKeepsWhatWasEditedByHandMeanwhile) {
  WriteWholeFile(KeyFile("Key"), "# hand written\nSpeed = dword 3\n");
  ASSERT_EQ(Create(), ERROR_SUCCESS);
  WriteWholeFile(KeyFile("Key"), "# hand written\nSpeed = dword 3\nFPS = dword 1\nbroken line\n");
  SetDword(key_, "Speed", 7);
  ASSERT_EQ(Close(), ERROR_SUCCESS);
  EXPECT_EQ(ReadWholeFile(KeyFile("Key")), "# hand written\nSpeed = dword 7\nFPS = dword 1\nbroken line\n");
}

TEST_F(RegistryKeyTest, ValuesTheFileCannotHoldAreRefused) {
  ASSERT_EQ(Create(), ERROR_SUCCESS);
  const uint8_t three[3] = {1, 2, 3};
  EXPECT_EQ(RegSetValueExA(key_, "Short", REG_DWORD, three, 3), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegSetValueExA(key_, "Kind", 7, three, 3), ERROR_INVALID_PARAMETER);
  for (const char* name : {"", "a=b", "two\nlines", "#hash", " blank"}) {
    EXPECT_EQ(SetString(key_, name, "x"), ERROR_INVALID_PARAMETER) << name;
  }
}

TEST_F(RegistryKeyTest, AnUnreadableFileIsNeverReplaced) {
  WriteWholeFile(KeyFile("Key"), std::string(2 << 20, 'x'));  // far beyond any key file
  ASSERT_EQ(Create(), ERROR_SUCCESS);
  SetString(key_, "A", "1");
  EXPECT_NE(Close(), ERROR_SUCCESS);
  EXPECT_EQ(std::filesystem::file_size(KeyFile("Key")), size_t(2 << 20));
}

// A FIFO in the file's place (or the temporary file's) would block a plain
// open for ever: it reads as no value and a save fails, at once.
TEST_F(RegistryKeyTest, AFifoInPlaceOfTheFileNeitherBlocksNorIsReplaced) {
  const std::filesystem::path fifo = KeyFile("Key");
  const std::filesystem::path temporary = fifo.parent_path() / ".Key.reg.tmp";
  std::filesystem::create_directories(fifo.parent_path());
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_NE(Open(KEY_READ), ERROR_SUCCESS) << "read as a key file";
  if (Create() == ERROR_SUCCESS) {
    SetString(key_, "A", "1");
    EXPECT_NE(Close(), ERROR_SUCCESS);
  }
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
  std::filesystem::remove(fifo);
  ASSERT_EQ(mkfifo(temporary.c_str(), 0600), 0);
  ASSERT_EQ(Create(), ERROR_SUCCESS);
  SetString(key_, "A", "1");
  EXPECT_NE(Close(), ERROR_SUCCESS) << "written into a FIFO";
}

}  // namespace
