// The program as a user meets it on a terminal: its messages and exit
// statuses, the settings file of the first run, flags for one run, and an
// installed copy that finds its default object.
#include <unistd.h>

#include <algorithm>

#include "e2e_fixture.h"
#include "settings/settings.h"

namespace {

namespace fs = std::filesystem;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class CommandLine : public EndToEnd {
 protected:
  CommandLine() : EndToEnd(800, 600) {}

  bool Drawn() const { return Lit({200, 150, 400, 300}); }
};

TEST_F(CommandLine, SaysWhatIsWrongInOneLineAndEndsWith255OrAnswersWith0) {
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string said;          // on standard output for 0, on standard error otherwise
    std::string display = "";  // the test's server when empty
  };
  const std::vector<Case> cases = {
      {{"--help"}, 0, "--roll <value>"},
      {{"-h"}, 0, "Settings.reg"},
      {{"--version"}, 0, "quellar "},
      {{"/x"}, 255, "\"/x\" is not a mode"},
      {{"-window", "/s"}, 255, "-window and \"/s\" are two modes"},
      {{"/s", "--speed", "21"}, 255, "--speed: \"21\" is not a whole number from 0 to 20"},
      {{"/s", "--roll", "sideways"}, 255, "--roll: \"sideways\" is not one of nasi"},
      {{"/s", "--x-scale", "nan"}, 255, "--x-scale: \"nan\""},
      {{"/s", "--speed"}, 255, "--speed needs a value"},
      {{"/s", "--fps=1"}, 255, "--fps takes no value"},
      {{"--frobnicate"}, 255, "unknown option --frobnicate"},
      {{"/p", "4294967296"}, 255, "/p needs the decimal id"},
      {{"/p", "99999999"}, 255, "no window with the id \"99999999\""},
      {{"-window-id", "zz"}, 255, "-window-id needs a window id"},
      {{"/s"}, 255, "cannot open display \"nowhere:0\"", "nowhere:0"},
      {{"/s", "-display", "nowhere:1"}, 255, "cannot open display \"nowhere:1\""},
      // Qt never sees the arguments, so its own options cannot abort the run.
      {{"/s", "-platform", "nonexistent"}, 255, "cannot open display \"nowhere:0\"", "nowhere:0"},
      // Any case, values after '=': all taken, so the display is what stops the run.
      {{"-ROOT", "--Roll", "GuruGuru", "-size=BIG", "--screen-mode", "1024X768", "--fps"},
       255,
       "cannot open display",
       "nowhere:0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.said);
    QuellarProcess& program =
        Start(c.arguments, {{"DISPLAY", c.display.empty() ? server->Name() : c.display}});
    EXPECT_EQ(program.WaitForExit(kExit), c.status);
    const std::string out = program.Output(), err = program.ErrorOutput();
    if (c.status == 0) {
      EXPECT_TRUE(Contains(out, c.said)) << out;
      EXPECT_EQ(err, "");
    } else {
      EXPECT_EQ(out, "");
      EXPECT_TRUE(Contains(err, "quellar: " + c.said)) << err;
      EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
      if (!Contains(c.said, "display") && !Contains(c.said, "no window")) {
        EXPECT_TRUE(Contains(err, "see quellar --help")) << err;
      }
    }
  }
  EXPECT_FALSE(fs::exists(SettingsPath())) << "a run that never started wrote the settings";
}

// Flags override the settings file for one run and leave it as it was; -window
// draws until the window manager closes it (which cuts the program's connection).
TEST_F(CommandLine, AWindowOfItsOwnIsDrawnInAndWhatDoesNotLoadIsNamedOnStandardError) {
  Settings({"ScreenMode = dword 0", "Size = sz \"Huge\"", "Speed = dword 99", "Roll = dword fast",
            "TextureName = sz \"/nowhere/file.bmp\""});
  const std::string before = ReadWholeFile(SettingsPath());
  QuellarProcess& saver = Start({"-window", "--texture-name", "/nonexistent/skin.bmp"});
  Window frame = WaitForTopLevel("Quellar");
  ASSERT_NE(frame, 0u) << saver.ErrorOutput();
  EXPECT_TRUE(Drawn()) << saver.ErrorOutput();
  for (const char* said : {"Settings.reg: Size = sz \"Huge\" is not understood; Middle is used",
                           "Speed = dword 99 is not understood; 20 (the largest value) is used",
                           "line 4: \"Roll = dword fast\" cannot be read",
                           "cannot load the texture \"/nonexistent/skin.bmp\": No such file"})
    EXPECT_TRUE(Said(saver, said)) << saver.ErrorOutput();
  EXPECT_FALSE(Contains(saver.ErrorOutput(), "file.bmp")) << "the flag did not override the file";
  XKillClient(X(), frame);
  XSync(X(), False);
  EXPECT_EQ(saver.WaitForExit(kExit), 0) << saver.ErrorOutput();
  EXPECT_EQ(ReadWholeFile(SettingsPath()), before);
}

// Programs alone in bin/, the object in share/quellar/; the first-run file holds
// every default under a comment that points at the documentation.
TEST_F(CommandLine, AnInstalledCopyFindsItsObjectAndItsFirstRunWritesEveryDefault) {
  const std::string prefix = root + "/prefix";
  const std::string install = "cmake --install '" + std::string(QUELLAR_BINARY_DIR) +
                              "' --prefix '" + prefix + "' > '" + root + "/install.log' 2>&1";
  ASSERT_EQ(std::system(install.c_str()), 0) << ReadWholeFile(root + "/install.log");
  for (const auto& entry : fs::directory_iterator(prefix + "/bin"))
    EXPECT_NE(access(entry.path().c_str(), X_OK), -1) << entry.path() << " is not a program";
  EXPECT_TRUE(fs::is_regular_file(prefix + "/share/quellar/quellar.X"));
  QuellarProcess& saver = Start({"/s", "--screen-mode", "window"}, {}, prefix + "/bin/quellar");
  EXPECT_TRUE(Drawn()) << saver.ErrorOutput();
  EXPECT_FALSE(Contains(saver.ErrorOutput(), "cannot load")) << saver.ErrorOutput();
  EndWithKey(saver);

  const std::string text = ReadWholeFile(SettingsPath());
  EXPECT_EQ(text.rfind("# Quellar settings", 0), 0u) << text;
  EXPECT_TRUE(Contains(text, "man 6 quellar"));
  for (const char* name :
       {"FixedSpeed", "Speed", "Size", "Generations", "ConnectTBLR", "Colors", "Roll", "CameraMove",
        "Wave", "LocusOfSplit", "ScreenMode", "ScreenColor", "Rendering", "FPS", "XScale",
        "TextureName", "DDDriverName", "D3DDriverName"})
    EXPECT_TRUE(Contains(text, std::string("\n") + name + " = ")) << name;
  // The very file a process that finds none writes, with no flag in it.
  const std::string fresh = root + "/fresh";
  setenv("XDG_CONFIG_HOME", fresh.c_str(), 1);
  LoadSettings();
  EXPECT_EQ(text, ReadWholeFile(fresh + "/Software/Varune/Quellar/Settings.reg"));
  // The comment stays at the top when the dialog saves.
  ::Settings.Speed = 3;
  SaveSettings();
  const std::string saved = ReadWholeFile(fresh + "/Software/Varune/Quellar/Settings.reg");
  EXPECT_EQ(saved.rfind("# Quellar settings", 0), 0u) << saved;
  EXPECT_TRUE(Contains(saved, "Speed = dword 3"));
}

}  // namespace
