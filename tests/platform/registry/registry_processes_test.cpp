#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

#include "platform/registry/registry.h"
#include "tests/platform/registry/key_files.h"

namespace {

constexpr char kKey[] = "Software\\Tests\\Processes";
constexpr int kValueCount = 40;

// One whole version of the key: every value carries the version's mark, and
// the strings are long enough that a torn write would show.
void SaveVersion(char mark) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  const std::string text(300, mark);
  for (int i = 0; i < kValueCount; ++i) {
    const std::string name = "Value" + std::to_string(i);
    RegSetValueExA(key, name.c_str(), REG_SZ, reinterpret_cast<const uint8_t*>(text.c_str()),
                   uint32_t(text.size() + 1));
  }
  RegCloseKey(key);
}

std::string TextOfVersion(char mark) {
  SaveVersion(mark);
  return ReadWholeFile(KeyFile("Processes"));
}

TEST(RegistryProcesses, ASaveKilledAtAnyMomentLeavesTheOldFileOrTheNew) {
  std::filesystem::remove_all(SoftwareFolder());
  const std::string textA = TextOfVersion('a'), textB = TextOfVersion('b');
  ASSERT_EQ(TextOfVersion('a'), textA) << "a version's text does not depend on the last";
  std::mt19937 random(12345);
  for (int round = 0; round < 40; ++round) {
    const pid_t child = fork();
    while (child == 0) {  // saves a, b, a, b ... until it is killed
      SaveVersion('a');
      SaveVersion('b');
    }
    usleep(useconds_t(random() % 20000));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    const std::string text = ReadWholeFile(KeyFile("Processes"));
    ASSERT_TRUE(text == textA || text == textB) << "round " << round << ":\n" << text.substr(0, 200);
  }
}

}  // namespace
