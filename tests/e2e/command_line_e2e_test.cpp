// The program as a user meets it on a terminal: its messages and exit
// statuses, the settings file of the first run, flags for one run, and an
// installed copy that finds its default object.
// clang-format off
#include <gtest/gtest.h>
#include <X11/Xutil.h>
// clang-format on
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "e2e_support.h"
#include "settings/settings.h"
#include "support/isolated_env.h"

namespace {

namespace fs = std::filesystem;
constexpr Milliseconds kAppear{20000};
constexpr Milliseconds kExit{10000};

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// What the program said on standard error within the time.
bool SaidWithin(const QuellarProcess& program, const std::string& part, Milliseconds timeout) {
  return WaitUntil([&] { return Contains(program.ErrorOutput(), part); }, timeout);
}

class CommandLine : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(QuellarBinary())) GTEST_SKIP() << "quellar is not built";
    root = MakeTempDir();
    fs::create_directories(config());
    fs::create_directories(root + "/runtime");
    fs::permissions(root + "/runtime", fs::perms::owner_all);
  }
  void TearDown() override {
    programs.clear();
    server.reset();
    std::error_code ignored;
    if (!root.empty()) fs::remove_all(root, ignored);
  }

  std::string config() const { return root + "/config"; }
  std::string settingsFile() const { return config() + "/Software/Varune/Quellar/Settings.reg"; }

  bool StartServer() {
    server = std::make_unique<XvfbServer>(800, 600);
    return server->X() != nullptr;
  }

  QuellarProcess& Run(const std::vector<std::string>& arguments, const std::string& display = "",
                      const std::string& binary = QuellarBinary()) {
    const std::string screen = !display.empty() ? display : server ? server->Name() : "nowhere:0";
    std::map<std::string, std::string> env = {{"DISPLAY", screen},
                                              {"XDG_CONFIG_HOME", config()},
                                              {"XDG_RUNTIME_DIR", root + "/runtime"},
                                              {"QT_QPA_PLATFORM", ""},
                                              {"XSCREENSAVER_WINDOW", ""}};
    const std::string errors = root + "/err-" + std::to_string(programs.size());
    programs.push_back(std::make_unique<QuellarProcess>(env, arguments, errors, binary));
    return *programs.back();
  }

  bool Drawn() {
    Display* x = server->X();
    return WaitUntil(
        [&] {
          PixelCount count = CountPixels(x, DefaultRootWindow(x), {200, 150, 400, 300});
          return count.total > 0 && count.lit >= 0.002 * count.total;
        },
        kAppear, Milliseconds(100));
  }

  void EndWithKey(QuellarProcess& program) {
    ASSERT_TRUE(XdoTool(server->Name(), "key space"));
    EXPECT_EQ(program.WaitForExit(kExit), 0);
  }

  std::string root;
  std::unique_ptr<XvfbServer> server;
  std::vector<std::unique_ptr<QuellarProcess>> programs;
};

TEST_F(CommandLine, SaysWhatIsWrongInOneLineAndEndsWith255OrAnswersWith0) {
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string said;  // on standard output for 0, on standard error otherwise
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
      {{"/p"}, 255, "/p needs the decimal id"},
      {{"/p", "4294967296"}, 255, "/p needs the decimal id"},
      {{"-window-id", "zz"}, 255, "-window-id needs a window id"},
      {{"/s"}, 255, "cannot open display \"nowhere:0\""},
      {{"/s", "-display", "nowhere:1"}, 255, "cannot open display \"nowhere:1\""},
      // Qt never sees the arguments, so its own options cannot abort the run.
      {{"/s", "-platform", "nonexistent"}, 255, "cannot open display \"nowhere:0\""},
      // Words and names in any case, values after '=': all taken, so the
      // display is what stops the run.
      {{"-ROOT", "--Roll", "GuruGuru", "-size=BIG", "--screen-mode", "1024X768", "--fps"},
       255,
       "cannot open display"},
  };
  for (const Case& c : cases) {
    std::string line;
    for (const std::string& a : c.arguments) line += a + " ";
    SCOPED_TRACE(line);
    QuellarProcess& program = Run(c.arguments);
    EXPECT_EQ(program.WaitForExit(kExit), c.status);
    const std::string out = program.Output(), err = program.ErrorOutput();
    if (c.status == 0) {
      EXPECT_TRUE(Contains(out, c.said)) << out;
      EXPECT_EQ(err, "");
    } else {
      EXPECT_EQ(out, "");
      EXPECT_TRUE(Contains(err, "quellar: " + c.said)) << err;
      EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
      if (!Contains(c.said, "display")) {
        EXPECT_TRUE(Contains(err, "see quellar --help")) << err;
      }
    }
  }
  EXPECT_FALSE(fs::exists(settingsFile())) << "a run that never started wrote the settings";
}

// Flags override the settings file for one run and leave it as it was.
TEST_F(CommandLine, FilesThatDoNotLoadAndValuesNotUnderstoodAreNamedOnStandardError) {
  ASSERT_TRUE(StartServer());
  WriteSettings(config(), {"ScreenMode = dword 0", "Size = sz \"Huge\"", "Speed = dword 99",
                           "Roll = dword fast", "TextureName = sz \"/nowhere/file.bmp\""});
  const std::string before = ReadFile(settingsFile());
  QuellarProcess& textured = Run({"/s", "--texture-name", "/nonexistent/skin.bmp"});
  EXPECT_TRUE(Drawn()) << textured.ErrorOutput();
  const std::string err = textured.ErrorOutput();
  EXPECT_TRUE(Contains(err, "Settings.reg: Size = sz \"Huge\" is not understood; Middle is used"))
      << err;
  EXPECT_TRUE(Contains(err, "Speed = dword 99 is not understood; 20 (the largest value) is used"))
      << err;
  EXPECT_TRUE(Contains(err, "line 4: \"Roll = dword fast\" cannot be read")) << err;
  EXPECT_TRUE(SaidWithin(
      textured, "cannot load the texture \"/nonexistent/skin.bmp\": No such file or directory",
      kAppear))
      << textured.ErrorOutput();
  EXPECT_FALSE(Contains(textured.ErrorOutput(), "file.bmp"))
      << "the flag did not override the file";
  EndWithKey(textured);

  const std::string empty = root + "/empty.x";
  std::ofstream{empty};
  QuellarProcess& missing = Run({"/s", "--x-file-name", empty});
  EXPECT_TRUE(SaidWithin(
      missing, "cannot load the object file \"" + empty + "\": the file is empty", kAppear))
      << missing.ErrorOutput();
  EndWithKey(missing);

  QuellarProcess& noWindow = Run({"/p", "99999999"});
  EXPECT_EQ(noWindow.WaitForExit(kExit), 255);
  EXPECT_TRUE(Contains(noWindow.ErrorOutput(), "no window with the id \"99999999\""))
      << noWindow.ErrorOutput();
  EXPECT_EQ(ReadFile(settingsFile()), before);
}

// The settings file of the first run holds every value at its default under a
// comment that points at the documentation; reading it back gives the defaults.
TEST_F(CommandLine, TheFirstRunWritesEveryValueAtItsDefault) {
  ASSERT_TRUE(StartServer());
  QuellarProcess& saver = Run({"/s", "--screen-mode", "window"});
  EXPECT_TRUE(Drawn());
  EndWithKey(saver);
  const std::string text = ReadFile(settingsFile());
  ASSERT_FALSE(text.empty()) << "no settings file was written";
  EXPECT_EQ(text.rfind("# Quellar settings", 0), 0u) << text;
  EXPECT_TRUE(Contains(text, "man 6 quellar"));
  EXPECT_TRUE(Contains(text, "ScreenMode = dword 1")) << "a flag was saved:\n" << text;
  for (const char* name :
       {"FixedSpeed", "Speed", "Size", "Generations", "ConnectTBLR", "Colors", "Roll", "CameraMove",
        "Wave", "LocusOfSplit", "ScreenMode", "ScreenColor", "Rendering", "FPS", "XScale",
        "TextureName", "DDDriverName", "D3DDriverName"}) {
    EXPECT_TRUE(Contains(text, std::string("\n") + name + " = ")) << name;
  }

  // The defaults of a process that finds no file and cannot make one.
  setenv("XDG_CONFIG_HOME", "/proc/none", 1);
  LoadSettings();
  const SettingsRecord defaults = Settings;
  setenv("XDG_CONFIG_HOME", config().c_str(), 1);
  LoadSettings();
  auto fields = [](const SettingsRecord& r) {
    return std::make_tuple(r.FixedSpeed, r.Speed, r.Size, r.Generations, r.ConnectTBLR, r.Colors,
                           r.Roll, r.CameraMove, r.Wave, r.LocusOfSplit, r.ScreenMode,
                           r.ScreenColor, r.Rendering, r.FPS, r.XScale, std::string(r.XFileName),
                           std::string(r.TextureName), std::string(r.DDDriverName),
                           std::string(r.D3DDriverName));
  };
  EXPECT_EQ(fields(Settings), fields(defaults));
  // The comment stays at the top when the dialog saves.
  Settings.Speed = 3;
  SaveSettings();
  const std::string saved = ReadFile(settingsFile());
  EXPECT_EQ(saved.rfind("# Quellar settings", 0), 0u) << saved;
  EXPECT_TRUE(Contains(saved, "Speed = dword 3"));
}

// -window: a top-level window of the program's own, drawn in until the window
// manager closes it (which cuts the connection that made it).
TEST_F(CommandLine, AWindowOfItsOwnIsDrawnInUntilItIsClosed) {
  ASSERT_TRUE(StartServer());
  Display* x = server->X();
  QuellarProcess& saver = Run({"-window", "--screen-mode", "window"});
  Window frame = 0;
  ASSERT_TRUE(WaitUntil([&] { return (frame = FindTopLevel(x, "Quellar")) != 0; }, kAppear))
      << saver.ErrorOutput();
  EXPECT_TRUE(Drawn()) << saver.ErrorOutput();
  XKillClient(x, frame);
  XSync(x, False);
  EXPECT_EQ(saver.WaitForExit(kExit), 0) << saver.ErrorOutput();
}

// An installed copy has its programs alone in bin/ and finds its default
// object in share/quellar/ of its own prefix.
TEST_F(CommandLine, AnInstalledCopyFindsItsObjectUnderShare) {
  const std::string prefix = root + "/prefix";
  const std::string install = "cmake --install '" + std::string(QUELLAR_BINARY_DIR) +
                              "' --prefix '" + prefix + "' > '" + root + "/install.log' 2>&1";
  ASSERT_EQ(std::system(install.c_str()), 0) << ReadFile(root + "/install.log");
  for (const auto& entry : fs::directory_iterator(prefix + "/bin")) {
    EXPECT_NE(access(entry.path().c_str(), X_OK), -1) << entry.path() << " is not a program";
  }
  EXPECT_TRUE(fs::is_regular_file(prefix + "/share/quellar/quellar.X"));
  ASSERT_TRUE(StartServer());
  QuellarProcess& saver = Run({"/s", "--screen-mode", "window"}, "", prefix + "/bin/quellar");
  EXPECT_TRUE(Drawn()) << saver.ErrorOutput();
  EXPECT_FALSE(Contains(saver.ErrorOutput(), "cannot load")) << saver.ErrorOutput();
  EndWithKey(saver);
}

}  // namespace
