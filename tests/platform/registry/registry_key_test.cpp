#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/registry/registry.h"

namespace {

constexpr char kKey[] = "Software\\Tests\\Key";

std::string KeyFile() {
  return std::string(std::getenv("XDG_CONFIG_HOME")) + "/Software/Tests/Key.reg";
}

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

void WriteText(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

LSTATUS SetString(HKEY key, const char* name, const char* text) {
  return RegSetValueExA(key, name, REG_SZ, reinterpret_cast<const uint8_t*>(text),
                        uint32_t(std::strlen(text) + 1));
}

class RegistryKeyTest : public ::testing::Test {
protected:
  void SetUp() override { std::filesystem::remove_all(std::string(std::getenv("XDG_CONFIG_HOME")) + "/Software"); }
};

TEST_F(RegistryKeyTest, OpeningAMissingKeyFailsAndCreatingOneMakesItsFile) {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, nullptr);
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_TRUE(std::filesystem::exists(KeyFile()));
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, KEY_READ, &key), ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST_F(RegistryKeyTest, KeyNamesThatLeaveTheFolderAreRefused) {
  HKEY key = nullptr;
  for (const char* name : {"Software\\..\\..\\x", "Software\\\\x", "a/b", "", "Software\\"}) {
    EXPECT_NE(RegCreateKeyExA(HKEY_CURRENT_USER, name, KEY_ALL_ACCESS, &key), ERROR_SUCCESS)
        << name;
  }
}

TEST_F(RegistryKeyTest, ValuesComeBackWithTheirTypesAndSizes) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  SetString(key, "Word", "Random");
  const uint8_t number[4] = {19, 0, 0, 0};
  RegSetValueExA(key, "Speed", REG_DWORD, number, 4);
  const uint8_t scale[4] = {0, 0, 0x80, 0x3f};
  RegSetValueExA(key, "XScale", REG_BINARY, scale, 4);
  // Without its NUL counted, a string still reads back terminated.
  RegSetValueExA(key, "Bare", REG_SZ, reinterpret_cast<const uint8_t*>("abc"), 3);
  ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);

  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, KEY_READ, &key), ERROR_SUCCESS);
  uint32_t type = 0;
  uint8_t data[16];
  uint32_t size = sizeof data;
  ASSERT_EQ(RegQueryValueExA(key, "WORD", &type, data, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 7u);
  EXPECT_STREQ(reinterpret_cast<char*>(data), "Random");
  size = sizeof data;
  ASSERT_EQ(RegQueryValueExA(key, "Speed", &type, data, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(std::memcmp(data, number, 4), 0);
  size = sizeof data;
  ASSERT_EQ(RegQueryValueExA(key, "XScale", &type, data, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(std::memcmp(data, scale, 4), 0);
  size = sizeof data;
  ASSERT_EQ(RegQueryValueExA(key, "Bare", &type, data, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 4u);
  EXPECT_STREQ(reinterpret_cast<char*>(data), "abc");
  size = sizeof data;
  EXPECT_EQ(RegQueryValueExA(key, "Missing", &type, data, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_NE(SetString(key, "Word", "x"), ERROR_SUCCESS) << "opened for reading only";
  RegCloseKey(key);
  EXPECT_NE(ReadText(KeyFile()).find("Word = sz \"Random\""), std::string::npos);
}

TEST_F(RegistryKeyTest, AValueLongerThanTheBufferFailsAndLeavesTheBuffer) {
  WriteText(KeyFile(),
            "Six = sz \"Random\"\nSeven = sz \"Randoms\"\nEight = sz \"KURUKURU\"\n"
            "Nine = sz \"KURUKURUx\"\n");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, KEY_READ, &key), ERROR_SUCCESS);
  const auto query = [&](const char* name, uint32_t room, uint32_t* size) {
    uint8_t data[16];
    std::memset(data, '#', sizeof data);
    *size = room;
    const LSTATUS result = RegQueryValueExA(key, name, nullptr, data, size);
    if (result != ERROR_SUCCESS) {
      EXPECT_EQ(data[0], '#') << "untouched on failure";
    }
    return result;
  };
  uint32_t size = 0;
  EXPECT_EQ(query("Six", 7, &size), ERROR_SUCCESS);
  EXPECT_EQ(query("Seven", 7, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 8u) << "the size it would need";
  EXPECT_EQ(query("Eight", 9, &size), ERROR_SUCCESS);
  EXPECT_EQ(query("Nine", 9, &size), ERROR_MORE_DATA);
  EXPECT_EQ(RegQueryValueExA(key, "Nine", nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 10u);
  RegCloseKey(key);
}

TEST_F(RegistryKeyTest, WritesReachTheFileTogetherWhenTheKeyCloses) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  SetString(key, "A", "1");
  EXPECT_FALSE(std::filesystem::exists(KeyFile()));
  uint8_t data[8];
  uint32_t size = sizeof data;
  EXPECT_EQ(RegQueryValueExA(key, "A", nullptr, data, &size), ERROR_SUCCESS) << "seen by its handle";
  RegCloseKey(key);
  EXPECT_EQ(ReadText(KeyFile()), "A = sz \"1\"\n");
}

TEST_F(RegistryKeyTest, ASaveKeepsWhatWasEditedByHandMeanwhile) {
  WriteText(KeyFile(), "# hand written\nSpeed = dword 3\n");
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  WriteText(KeyFile(), "# hand written\nSpeed = dword 3\nFPS = dword 1\nbroken line\n");
  const uint8_t number[4] = {7, 0, 0, 0};
  RegSetValueExA(key, "Speed", REG_DWORD, number, 4);
  ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(ReadText(KeyFile()), "# hand written\nSpeed = dword 7\nFPS = dword 1\nbroken line\n");
}

TEST_F(RegistryKeyTest, ValuesTheFileCannotHoldAreRefused) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  const uint8_t three[3] = {1, 2, 3};
  EXPECT_EQ(RegSetValueExA(key, "Short", REG_DWORD, three, 3), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegSetValueExA(key, "Kind", 7, three, 3), ERROR_INVALID_PARAMETER);
  for (const char* name : {"", "a=b", "two\nlines", "#hash", " blank"}) {
    EXPECT_EQ(SetString(key, name, "x"), ERROR_INVALID_PARAMETER) << name;
  }
  RegCloseKey(key);
}

TEST_F(RegistryKeyTest, AnUnreadableFileIsNeverReplaced) {
  WriteText(KeyFile(), std::string(2 << 20, 'x'));  // far beyond any key file
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  SetString(key, "A", "1");
  EXPECT_NE(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(std::filesystem::file_size(KeyFile()), size_t(2 << 20));
}

}  // namespace
