#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <string>

#include "platform/sys/module_path.h"
#include "platform/sys/platform_identity.h"
#include "settings/default_x_file_name.h"
#include "settings/settings.h"
#include "settings_file.h"

namespace {

class SettingsStore : public ::testing::Test {
protected:
  void SetUp() override { RemoveSettingsFile(); }
  void TearDown() override { ResetPlatformIdentityForTesting(); }

  static void LoadFrom(const std::string& text) {
    WriteSettingsFile(text);
    LoadSettings();
  }
};

void ExpectDefaults(const SettingsRecord& s) {
  EXPECT_EQ(s.FixedSpeed, 0);
  EXPECT_EQ(s.Speed, 19u);
  EXPECT_EQ(s.Size, 1);
  EXPECT_EQ(s.Generations, 20u);
  EXPECT_EQ(s.ConnectTBLR, 0);
  EXPECT_EQ(s.Colors, 1);
  EXPECT_EQ(s.Roll, 0);
  EXPECT_EQ(s.CameraMove, 0);
  EXPECT_EQ(s.Wave, 0);
  EXPECT_EQ(s.LocusOfSplit, 9u);
  EXPECT_EQ(s.ScreenMode, 1u);
  EXPECT_EQ(s.ScreenColor, 1u);
  EXPECT_EQ(s.Rendering, 1u);
  EXPECT_EQ(s.FPS, 0u);
  EXPECT_EQ(s.XScale, 1.0f);
  EXPECT_STREQ(s.TextureName, kNoTextureName);
  EXPECT_STREQ(s.DDDriverName, "");
  EXPECT_STREQ(s.D3DDriverName, "Auto");
  EXPECT_FALSE(s.TextureFlag);
}

void ExpectSameRecord(const SettingsRecord& a, const SettingsRecord& b) {
  EXPECT_EQ(a.FixedSpeed, b.FixedSpeed);
  EXPECT_EQ(a.Speed, b.Speed);
  EXPECT_EQ(a.Size, b.Size);
  EXPECT_EQ(a.Generations, b.Generations);
  EXPECT_EQ(a.ConnectTBLR, b.ConnectTBLR);
  EXPECT_EQ(a.Colors, b.Colors);
  EXPECT_EQ(a.Roll, b.Roll);
  EXPECT_EQ(a.CameraMove, b.CameraMove);
  EXPECT_EQ(a.Wave, b.Wave);
  EXPECT_EQ(a.LocusOfSplit, b.LocusOfSplit);
  EXPECT_EQ(a.ScreenMode, b.ScreenMode);
  EXPECT_EQ(a.ScreenColor, b.ScreenColor);
  EXPECT_EQ(a.Rendering, b.Rendering);
  EXPECT_EQ(a.FPS, b.FPS);
  EXPECT_EQ(std::bit_cast<uint32_t>(a.XScale), std::bit_cast<uint32_t>(b.XScale));
  EXPECT_STREQ(a.XFileName, b.XFileName);
  EXPECT_STREQ(a.TextureName, b.TextureName);
  EXPECT_STREQ(a.DDDriverName, b.DDDriverName);
  EXPECT_STREQ(a.D3DDriverName, b.D3DDriverName);
}

TEST_F(SettingsStore, AMissingOrEmptyKeyGivesTheDefaults) {
  LoadSettings();
  ExpectDefaults(Settings);
  char program[260];
  GetModuleFileNameA(program, sizeof program);
  EXPECT_EQ(std::string(Settings.XFileName), std::string(program) + ".X")
      << "the test program has no extension";
  LoadFrom("");
  ExpectDefaults(Settings);
}

TEST(DefaultXFileName, ReplacesTheFileNamesExtensionOrAddsOne) {
  char out[260];
  const auto derive = [&](const char* path) {
    DeriveXFileName(path, out, sizeof out);
    return std::string(out);
  };
  EXPECT_EQ(derive("D:\\SAVERS\\Quellar.SCR"), "D:\\SAVERS\\Quellar.X");
  EXPECT_EQ(derive("/usr/bin/quellar"), "/usr/bin/quellar.X");
  EXPECT_EQ(derive("/home/u/.local/bin/quellar"), "/home/u/.local/bin/quellar.X")
      << "a dot in a folder name is not the extension";
  EXPECT_EQ(derive("C:\\my.savers\\Quellar"), "C:\\my.savers\\Quellar.X");
  EXPECT_EQ(derive("/opt/quellar.bin"), "/opt/quellar.X");
  EXPECT_EQ(derive("/opt/quellar."), "/opt/quellar.X");
  EXPECT_EQ(derive("/opt/.quellar"), "/opt/.quellar.X");

  // A path that fills the buffer loses whole characters from its stem only.
  std::string longPath = "/";
  while (longPath.size() < 258) longPath += "あ";  // three bytes each
  DeriveXFileName(longPath.c_str(), out, sizeof out);
  const std::string derived = out;
  EXPECT_LE(derived.size(), 259u);
  EXPECT_EQ(derived.substr(derived.size() - 2), ".X");
  EXPECT_EQ((derived.size() - 2 - 1) % 3, 0u) << "no character cut in half";
}

TEST_F(SettingsStore, WordsReadWithoutRegardToCase) {
  LoadFrom(
      "FixedSpeed = sz \"fixed\"\nConnectTBLR = sz \"on\"\nSize = sz \"random\"\n"
      "Colors = sz \"3\"\nRoll = sz \"GuruGuru\"\nWave = sz \"ripple\"\nCameraMove = sz \"RANDOM\"\n");
  EXPECT_EQ(Settings.FixedSpeed, 0);
  EXPECT_EQ(Settings.ConnectTBLR, 1);
  EXPECT_EQ(Settings.Size, 3);
  EXPECT_EQ(Settings.Colors, 2);
  EXPECT_EQ(Settings.Roll, 2);
  EXPECT_EQ(Settings.Wave, 2);
  EXPECT_EQ(Settings.CameraMove, 2);
}

TEST_F(SettingsStore, UnknownWordsReadAsTheLastColumn) {
  LoadFrom(
      "FixedSpeed = sz \"Random\"\nConnectTBLR = sz \"Off\"\nSize = sz \"Middle\"\n"
      "Colors = sz \"1\"\nRoll = sz \"spin\"\nWave = sz \"Wobble\"\nCameraMove = sz \"yes\"\n");
  EXPECT_EQ(Settings.FixedSpeed, 1);
  EXPECT_EQ(Settings.ConnectTBLR, 0);
  EXPECT_EQ(Settings.Size, 1);
  EXPECT_EQ(Settings.Colors, 0);
  EXPECT_EQ(Settings.Roll, 0);
  EXPECT_EQ(Settings.Wave, 0);
  EXPECT_EQ(Settings.CameraMove, 0);

  // Only A-Z fold: a word in full-width letters is just another word.
  LoadFrom("Size = sz \"ＢＩＧ\"\nColors = sz \"Random\"\n");
  EXPECT_EQ(Settings.Size, 1);
  EXPECT_EQ(Settings.Colors, 3);
}

TEST_F(SettingsStore, WordsTooLongForTheirBuffersAreNotReadAtAll) {
  // Six letters fit seven bytes; seven do not. Eight fit nine; nine do not.
  LoadFrom(
      "Size = sz \"RANDOM\"\nFixedSpeed = sz \"FIXED!!\"\nConnectTBLR = sz \"RANDOMX\"\n"
      "Colors = sz \"RANDOMX\"\nRoll = sz \"KURUKURU\"\nWave = sz \"PARALLELX\"\n");
  EXPECT_EQ(Settings.Size, 3);
  EXPECT_EQ(Settings.FixedSpeed, 0) << "kept its default, not read as 'other'";
  EXPECT_EQ(Settings.ConnectTBLR, 0);
  EXPECT_EQ(Settings.Colors, 1) << "kept its default";
  EXPECT_EQ(Settings.Roll, 1);
  EXPECT_EQ(Settings.Wave, 0);
  LoadFrom("Roll = sz \"GURUGURUX\"\nWave = sz \"PARALLEL\"\n");
  EXPECT_EQ(Settings.Roll, 0);
  EXPECT_EQ(Settings.Wave, 1);
}

TEST_F(SettingsStore, CountsAreLimitedWithUnsignedComparisons) {
  LoadFrom(
      "Speed = dword 4294967295\nGenerations = dword 1000\nLocusOfSplit = dword 10\n"
      "ScreenMode = dword -1\nScreenColor = dword 4\nRendering = dword 3\nFPS = dword 77\n");
  EXPECT_EQ(Settings.Speed, 20u);
  EXPECT_EQ(Settings.Generations, 1000u) << "not limited";
  EXPECT_EQ(Settings.LocusOfSplit, 9u);
  EXPECT_EQ(Settings.ScreenMode, 3u);
  EXPECT_EQ(Settings.ScreenColor, 3u);
  EXPECT_EQ(Settings.Rendering, 2u);
  EXPECT_EQ(Settings.FPS, 77u) << "not limited";
  LoadFrom("Speed = dword 20\nLocusOfSplit = dword 0\nScreenMode = dword 3\nRendering = dword 2\n");
  EXPECT_EQ(Settings.Speed, 20u);
  EXPECT_EQ(Settings.LocusOfSplit, 0u) << "zero stays zero";
  EXPECT_EQ(Settings.ScreenMode, 3u);
  EXPECT_EQ(Settings.Rendering, 2u);
}

TEST_F(SettingsStore, StringsAndTheScaleReadWithinTheirLimits) {
  const std::string path259(259, 'p');
  const std::string path260(260, 'q');
  LoadFrom("XFileName = sz \"" + path259 + "\"\nTextureName = sz \"" + path260 +
           "\"\nXScale = binary 00 00 20 40\nDDDriverName = sz \"display\"\n"
           "D3DDriverName = sz \"" + std::string(80, 'd') + "\"\n");
  EXPECT_EQ(std::string(Settings.XFileName), path259);
  EXPECT_STREQ(Settings.TextureName, kNoTextureName) << "261 bytes with the terminator";
  EXPECT_EQ(Settings.XScale, 2.5f);
  EXPECT_STREQ(Settings.DDDriverName, "display");
  EXPECT_STREQ(Settings.D3DDriverName, "Auto");
}

TEST_F(SettingsStore, DamagedFilesGiveDefaultsForWhatCannotBeRead) {
  constexpr char kDamaged[] =
      "\x01\x02garbage\xff\n"
      "Speed = sz \"5\"\n"                 // a string where a number belongs
      "Size = dword 2\n"                   // a number where a word belongs
      "XScale = binary 00 00 80\n"         // three bytes of a float
      "Generations = binary 00 00 80 3\n"  // half a byte at the end
      "LocusOfSplit = dword 4 4\n"
      "TextureName = sz \"\xe3\x81\xff\x80\"\n"  // not UTF-8, read as it stands
      "XFileName = sz \"unterminated\n"
      "ScreenMode = dword 2\n"
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
  EXPECT_EQ(Settings.ScreenMode, 2u) << "good lines among bad ones still count";
  EXPECT_EQ(Settings.Rendering, 1u);
}

TEST_F(SettingsStore, SavingAndLoadingGiveTheSameRecordButNeverWriteFPS) {
  WriteSettingsFile("FPS = dword 5\n");
  LoadSettings();
  SettingsRecord saved = Settings;
  saved.FixedSpeed = 1;
  saved.Speed = 3;
  saved.Size = 3;
  saved.Generations = 1234;
  saved.ConnectTBLR = 2;
  saved.Colors = 3;
  saved.Roll = 1;
  saved.CameraMove = 1;
  saved.Wave = 2;
  saved.LocusOfSplit = 4;
  saved.ScreenMode = 2;
  saved.ScreenColor = 3;
  saved.Rendering = 0;
  saved.FPS = 0;
  saved.XScale = 0.125f;
  std::strcpy(saved.XFileName, "/home/u/物体.x");
  std::strcpy(saved.TextureName, kXFileTextureName);
  std::strcpy(saved.DDDriverName, "line\nbreak \"quoted\"");
  std::strcpy(saved.D3DDriverName, "Ramp Emulation");
  Settings = saved;
  SaveSettings();
  EXPECT_EQ(ReadSettingsFile().find("FPS"), ReadSettingsFile().rfind("FPS")) << "one FPS line";

  Settings = SettingsRecord{};
  LoadSettings();
  EXPECT_EQ(Settings.FPS, 5u) << "what the key held";
  saved.FPS = 5;
  ExpectSameRecord(Settings, saved);

  // Every word written reads back as the code it was written for.
  for (int32_t code = 0; code < 4; ++code) {
    Settings.FixedSpeed = code % 2;
    Settings.ConnectTBLR = Settings.CameraMove = code % 3;
    Settings.Size = Settings.Colors = Settings.Roll = Settings.Wave = code;
    SaveSettings();
    LoadSettings();
    EXPECT_EQ(Settings.FixedSpeed, code % 2);
    EXPECT_EQ(Settings.ConnectTBLR, code % 3);
    EXPECT_EQ(Settings.CameraMove, code % 3);
    EXPECT_EQ(Settings.Size, code);
    EXPECT_EQ(Settings.Colors, code);
    EXPECT_EQ(Settings.Roll, code);
    EXPECT_EQ(Settings.Wave, code);
  }
}

TEST_F(SettingsStore, TheFileReadsAsAPersonWouldWriteIt) {
  LoadSettings();
  SaveSettings();
  const std::string text = ReadSettingsFile();
  for (const char* line : {"FixedSpeed = sz \"Fixed\"", "Size = sz \"Middle\"", "Colors = sz \"2\"",
                           "Roll = sz \"NASI\"", "Speed = dword 19", "XScale = binary 00 00 80 3f",
                           "TextureName = sz \"なし(グラデーション)\"", "D3DDriverName = sz \"Auto\""}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  }
  EXPECT_LT(text.find("\nWave ="), text.find("\nSpeed ="));
  EXPECT_LT(text.find("\nGenerations ="), text.find("\nCameraMove ="));
}

TEST_F(SettingsStore, ACodeWithoutAWordLeavesTheStoredWord) {
  WriteSettingsFile("Size = sz \"Big\"\n");
  LoadSettings();
  Settings.Size = 7;
  SaveSettings();
  EXPECT_NE(ReadSettingsFile().find("Size = sz \"Big\""), std::string::npos);
}

TEST_F(SettingsStore, Nt4RunsWindowedOnlyWhenTheKeyExists) {
  SetPlatformIdentityForTesting(VER_PLATFORM_WIN32_NT, 4, 0);
  LoadSettings();
  EXPECT_EQ(Settings.ScreenMode, 1u) << "no key: no adjustment";
  LoadFrom("ScreenMode = dword 3\n");
  EXPECT_EQ(Settings.ScreenMode, 0u);
}

}  // namespace
