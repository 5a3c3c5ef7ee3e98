#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>

#include "platform/sys/module_path.h"
#include "platform/sys/platform_identity.h"
#include "settings/default_x_file_name.h"
#include "settings/settings.h"
#include "settings/settings_flags.h"
#include "support/isolated_env.h"

namespace {

class SettingsStore : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::remove(SettingsFile()); }
  void TearDown() override { ResetPlatformIdentityForTesting(); }
  static void LoadFrom(const std::string& text) {
    WriteSettingsFile(text);
    LoadSettings();
  }
};

std::string DefaultFileText() {
  char program[260];
  GetModuleFileNameA(program, sizeof program);
  return std::string(
             "FixedSpeed = sz \"Fixed\"\nConnectTBLR = sz \"Off\"\nSize = sz \"Middle\"\n"
             "Colors = sz \"2\"\nRoll = sz \"NASI\"\nWave = sz \"Off\"\nSpeed = dword 19\n"
             "Generations = dword 20\nCameraMove = sz \"Off\"\nLocusOfSplit = dword 9\n"
             "ScreenMode = dword 1\nScreenColor = dword 1\nRendering = dword 1\n"
             "XFileName = sz \"") +
         program +
         ".X\"\nTextureName = sz \"なし(グラデーション)\"\n"
         "XScale = binary 00 00 80 3f\nDDDriverName = sz \"\"\nD3DDriverName = sz \"Auto\"\n";
}

TEST_F(SettingsStore, AMissingOrEmptyKeyGivesTheDefaultsWrittenInOrderWithoutFPS) {
  for (bool emptyFile : {false, true}) {
    SCOPED_TRACE(emptyFile ? "empty file" : "no file");
    if (emptyFile) WriteSettingsFile("");
    Settings.FPS = 3;
    Settings.TextureFlag = true;
    LoadSettings();
    EXPECT_EQ(Settings.FPS, 0u);
    EXPECT_FALSE(Settings.TextureFlag);
    std::filesystem::remove(SettingsFile());
    SaveSettings();
    EXPECT_EQ(ReadSettingsFile(), DefaultFileText());
  }
}

TEST(DefaultXFileName, ReplacesTheFileNamesExtensionOrAddsOne) {
  const std::pair<const char*, const char*> cases[] = {
      {"D:\\SAVERS\\Quellar.SCR", "D:\\SAVERS\\Quellar.X"},
      {"C:\\my.savers\\Quellar", "C:\\my.savers\\Quellar.X"},
      {"/opt/quellar.tar.bin", "/opt/quellar.tar.X"},
      {"/opt/quellar.", "/opt/quellar.X"},
      {"/opt/.quellar", "/opt/.quellar.X"},
      {"C:\\q.scr", "C:\\q.X"}};
  char out[260];
  for (const auto& [path, expected] : cases) {
    DeriveXFileName(path, out, sizeof out);
    EXPECT_STREQ(out, expected) << path;
  }
  // A path that fills the buffer loses whole characters from its stem only.
  std::string longPath = "/";
  while (longPath.size() < 258) longPath += "あ";  // three bytes each
  DeriveXFileName(longPath.c_str(), out, sizeof out);
  const std::string derived = out;
  EXPECT_LE(derived.size(), 259u);
  EXPECT_EQ(derived.substr(derived.size() - 2), ".X");
  EXPECT_EQ((derived.size() - 3) % 3, 0u) << "no character cut in half";
  DeriveXFileName("/q", out, 1);
  EXPECT_STREQ(out, "") << "no room for the extension";
  // The object installed in the program's prefix serves when none is beside the
  // program, but only when its whole path fits.
  const std::string prefix = MakeTempDir(), program = prefix + "/bin/quellar",
                    installed = prefix + "/share/quellar/quellar.X";
  WriteWholeFile(installed, "xof 0303txt 0032\n");
  DefaultXFileName(program.c_str(), out, installed.size() + 1);
  EXPECT_EQ(out, installed);
  std::memset(out, '#', sizeof out);
  DefaultXFileName(program.c_str(), out, installed.size());
  EXPECT_EQ(out, program + ".X");
  EXPECT_EQ(out[installed.size()], '#');
  std::filesystem::remove_all(prefix);
}

// Writes one line of `type` for each name and reads the file back.
template <size_t N>
void LoadLines(const char* const (&names)[N], const char* type,
               const std::array<const char*, N>& values) {
  std::string text;
  for (size_t i = 0; i < N; ++i)
    text += std::string(names[i]) + " = " + type + " " + values[i] + "\n";
  WriteSettingsFile(text);
  LoadSettings();
}

// Seven bytes hold six letters and nine hold eight; a longer word is not read
// at all (the default stays), which differs from an unknown word.
TEST_F(SettingsStore, WordsFoldOnlyAToZAndMustFitTheirBuffers) {
  const char* const names[] = {"FixedSpeed", "ConnectTBLR", "Size",      "Colors",
                               "Roll",       "Wave",        "CameraMove"};
  const std::pair<std::array<const char*, 7>, std::array<int32_t, 7>> cases[] = {
      {{"fixed", "on", "random", "3", "GuruGuru", "ripple", "RANDOM"}, {0, 1, 3, 2, 2, 2, 2}},
      {{"x", "Off", "ＢＩＧ", "1", "spin", "Wobble", "yes"}, {1, 0, 1, 0, 0, 0, 0}},
      {{"FIXED!!", "RANDOMX", "RANDOM", "RANDOMX", "KURUKURU", "PARALLEL", "ON"},
       {0, 0, 3, 1, 1, 1, 1}},
      {{"Random", "RANDOM", "Small", "2", "KURUKURUX", "PARALLELX", "Off"}, {1, 2, 0, 1, 0, 0, 0}}};
  for (const auto& [words, codes] : cases) {
    LoadLines(names, "sz", words);
    const auto& s = Settings;
    EXPECT_EQ(
        (std::array{s.FixedSpeed, s.ConnectTBLR, s.Size, s.Colors, s.Roll, s.Wave, s.CameraMove}),
        codes)
        << words[0];
  }
}

TEST_F(SettingsStore, CountsAreLimitedWithUnsignedComparisons) {
  const char* const names[] = {"Speed",       "Generations", "LocusOfSplit", "ScreenMode",
                               "ScreenColor", "Rendering",   "FPS"};
  const std::pair<std::array<const char*, 7>, std::array<uint32_t, 7>> cases[] = {
      {{"4294967295", "4000000000", "10", "-1", "4", "3", "4000000000"},
       {20, 4000000000, 9, 3, 3, 2, 4000000000}},
      {{"20", "0", "0", "3", "3", "2", "1"}, {20, 0, 0, 3, 3, 2, 1}}};
  for (const auto& [numbers, expected] : cases) {
    LoadLines(names, "dword", numbers);
    const auto& s = Settings;
    EXPECT_EQ((std::array{s.Speed, s.Generations, s.LocusOfSplit, s.ScreenMode, s.ScreenColor,
                          s.Rendering, s.FPS}),
              expected)
        << numbers[0];
  }
}

TEST_F(SettingsStore, BadInputGivesTheDefaultsForWhatCannotBeRead) {
  constexpr char kDamaged[] =
      "\x01\x02garbage\xff\n"
      "Speed = sz \"5\"\n"                 // a string where a number belongs
      "Size = dword 2\n"                   // a number where a word belongs
      "XScale = binary 00 00 80\n"         // three bytes of a float
      "Generations = binary 00 00 80 3\n"  // half a byte at the end
      "LocusOfSplit = dword 4 4\n"
      "TextureName = sz \"\xe3\x81\xff\x80\"\n"  // not UTF-8, read as it stands
      "XFileName = sz \"unterminated\n"
      "DDDriverName = sz \"display\"\n"
      "D3DDriverName = sz \"\"\n"
      "Rendering = dword 0\x00\n"
      "Colors";
  LoadFrom(std::string(kDamaged, sizeof kDamaged - 1));
  EXPECT_EQ(Settings.Speed, 19u);
  EXPECT_EQ(Settings.Size, 1);
  EXPECT_EQ(Settings.XScale, 1.0f);
  EXPECT_EQ(Settings.Generations, 20u);
  EXPECT_EQ(Settings.LocusOfSplit, 9u);
  EXPECT_STREQ(Settings.TextureName, "\xe3\x81\xff\x80");
  EXPECT_NE(std::string(Settings.XFileName).find(".X"), std::string::npos);
  EXPECT_STREQ(Settings.DDDriverName, "display") << "good lines among bad ones still count";
  EXPECT_STREQ(Settings.D3DDriverName, "");
  EXPECT_EQ(Settings.Rendering, 1u);

  // Strings that do not fit with their terminator are not read at all.
  const std::string path259(259, 'p');
  LoadFrom("XFileName = sz \"" + path259 + "\"\nTextureName = sz \"" + std::string(260, 'q') +
           "\"\nXScale = binary 00 00 20 40\nD3DDriverName = sz \"" + std::string(80, 'd') +
           "\"\n");
  EXPECT_EQ(std::string(Settings.XFileName), path259);
  EXPECT_STREQ(Settings.TextureName, kNoTextureName);
  EXPECT_EQ(Settings.XScale, 2.5f);
  EXPECT_STREQ(Settings.D3DDriverName, "Auto");
}

TEST_F(SettingsStore, WhatIsSavedLoadsBackExceptFPSWhichIsNeverWritten) {
  LoadFrom("FPS = dword 5\n");
  Settings.FixedSpeed = 1, Settings.Speed = 3, Settings.Generations = 1234;
  Settings.LocusOfSplit = 4, Settings.ScreenMode = 2, Settings.ScreenColor = 3;
  Settings.Rendering = 0, Settings.FPS = 9, Settings.XScale = 0.125f;
  std::strcpy(Settings.XFileName, "/home/u/物体.x");
  std::strcpy(Settings.TextureName, kXFileTextureName);
  std::strcpy(Settings.DDDriverName, "line\nbreak \"quoted\"");
  std::strcpy(Settings.D3DDriverName, "Ramp Emulation");
  // Every word written reads back as the code it was written for.
  for (int32_t code = 0; code < 4; ++code) {
    SCOPED_TRACE(code);
    Settings.ConnectTBLR = Settings.CameraMove = code % 3;
    Settings.Size = Settings.Colors = Settings.Roll = Settings.Wave = code;
    SaveSettings();
    const std::string saved = ReadSettingsFile();
    EXPECT_NE(saved.find("FPS = dword 5\n"), std::string::npos);
    LoadSettings();
    EXPECT_EQ(Settings.FPS, 5u);
    EXPECT_EQ(Settings.Size, code);
    std::filesystem::remove(SettingsFile());
    SaveSettings();
    EXPECT_EQ("FPS = dword 5\n" + ReadSettingsFile(), saved) << "a value lost on the way";
    WriteSettingsFile(saved);
  }
}

TEST_F(SettingsStore, ACodeWithoutAWordLeavesTheStoredWord) {
  LoadFrom("Size = sz \"Big\"\nColors = sz \"3\"\n");
  Settings.Size = 4;  // one past the last word
  Settings.Colors = -1;
  SaveSettings();
  EXPECT_NE(ReadSettingsFile().find("Size = sz \"Big\""), std::string::npos);
  EXPECT_NE(ReadSettingsFile().find("Colors = sz \"3\""), std::string::npos);
}

// Counts take their words as well as numbers; the flags win over the file.
TEST_F(SettingsStore, FlagsOverrideTheFileWithWordsOrNumbers) {
  LoadFrom("Rendering = dword 2\nScreenMode = dword 0\nSize = sz \"Small\"\n");
  const std::pair<const char*, const char*> flags[] = {
      {"rendering", "Wireframe"}, {"screen-mode", "800x600"}, {"SIZE", "big"}, {"x-scale", "2.5"}};
  for (const auto& [flag, value] : flags)
    EXPECT_EQ(AddSettingsFlag(*FindSettingsFlag(flag), value), "") << flag;
  EXPECT_NE(AddSettingsFlag(*FindSettingsFlag("speed"), "21"), "");
  EXPECT_NE(AddSettingsFlag(*FindSettingsFlag("rendering"), "phong"), "");
  for (const SettingsFlagInfo& flag : SettingsFlags())  // only the frame-rate switches take none
    EXPECT_EQ(flag.takesValue, std::string(flag.flag).find("fps") == std::string::npos) << flag.flag;
  ApplySettingsFlags();
  ClearSettingsFlagsForTesting();
  EXPECT_EQ(std::make_tuple(Settings.Rendering, Settings.ScreenMode, Settings.Size, Settings.XScale),
            std::make_tuple(0u, 2u, 2, 2.5f));
}

TEST_F(SettingsStore, Nt4RunsWindowedOnlyWhenTheKeyExists) {
  SetPlatformIdentityForTesting(VER_PLATFORM_WIN32_NT, 4, 0);
  LoadSettings();
  EXPECT_EQ(Settings.ScreenMode, 1u) << "no key: no adjustment";
  LoadFrom("ScreenMode = dword 3\n");
  EXPECT_EQ(Settings.ScreenMode, 0u);
}

}  // namespace
