// The program as a user meets it on a terminal: its messages and exit
// statuses, the settings file of the first run, flags for one run, and an
// installed copy that finds its default object.
// clang-format off
#include <gtest/gtest.h>
#include <X11/Xutil.h>
// clang-format on
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "e2e_support.h"
#include "settings/settings.h"
#include "support/isolated_env.h"

extern char** environ;

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

// A program of the test's choosing with its own environment, its standard
// output and error kept in files; killed if the test leaves it running.
class Program {
 public:
  Program(const std::string& binary, const std::vector<std::string>& arguments,
          const std::map<std::string, std::string>& environment, const std::string& folder)
      : out_(folder + "/out-" + std::to_string(++count_)), err_(out_ + ".err") {
    std::vector<std::string> argv = {binary};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
      std::string entry(*e);
      if (!environment.count(entry.substr(0, entry.find('=')))) env.push_back(entry);
    }
    for (const auto& [name, value] : environment)
      if (!value.empty()) env.push_back(name + "=" + value);
    auto pointers = [](std::vector<std::string>& strings) {
      std::vector<char*> p;
      for (auto& s : strings) p.push_back(s.data());
      p.push_back(nullptr);
      return p;
    };
    auto args = pointers(argv);
    auto envp = pointers(env);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Program() {
    if (pid_ > 0 && !status_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

  std::optional<int> Wait(Milliseconds timeout) {
    WaitUntil(
        [&] {
          int raw = 0;
          if (status_ || waitpid(pid_, &raw, WNOHANG) != pid_) return status_.has_value();
          status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
          return true;
        },
        timeout, Milliseconds(5));
    return status_;
  }
  std::string Out() const { return ReadFile(out_); }
  std::string Err() const { return ReadFile(err_); }
  bool SaidWithin(const std::string& part, Milliseconds timeout) const {
    return WaitUntil([&] { return Contains(Err(), part); }, timeout);
  }

 private:
  static inline int count_ = 0;
  pid_t pid_ = -1;
  std::string out_, err_;
  std::optional<int> status_;
};

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

  Program& Run(const std::vector<std::string>& arguments, const std::string& display = "",
               const std::string& binary = QuellarBinary()) {
    std::map<std::string, std::string> env = {
        {"DISPLAY", !display.empty() ? display : server ? server->Name() : "nowhere:0"},
        {"XDG_CONFIG_HOME", config()},
        {"XDG_RUNTIME_DIR", root + "/runtime"},
        {"QT_QPA_PLATFORM", ""},
        {"XSCREENSAVER_WINDOW", ""}};
    programs.push_back(std::make_unique<Program>(binary, arguments, env, root));
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

  void EndWithKey(Program& program) {
    ASSERT_TRUE(XdoTool(server->Name(), "key space"));
    EXPECT_EQ(program.Wait(kExit), 0);
  }

  std::string root;
  std::unique_ptr<XvfbServer> server;
  std::vector<std::unique_ptr<Program>> programs;
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
    Program& program = Run(c.arguments);
    EXPECT_EQ(program.Wait(kExit), c.status);
    const std::string out = program.Out(), err = program.Err();
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

TEST_F(CommandLine, FilesThatDoNotLoadAndValuesNotUnderstoodAreNamedOnStandardError) {
  ASSERT_TRUE(StartServer());
  WriteSettings(config(), {"ScreenMode = dword 0", "Size = sz \"Huge\"", "Speed = dword 99",
                           "Roll = dword fast"});
  Program& textured = Run({"/s", "--texture-name", "/nonexistent/skin.bmp"});
  EXPECT_TRUE(Drawn()) << textured.Err();
  const std::string err = textured.Err();
  EXPECT_TRUE(Contains(err, "Settings.reg: Size = sz \"Huge\" is not understood; Middle is used"))
      << err;
  EXPECT_TRUE(Contains(err, "Speed = dword 99 is not understood; 20 (the largest value) is used"))
      << err;
  EXPECT_TRUE(Contains(err, "line 4: \"Roll = dword fast\" cannot be read")) << err;
  EXPECT_TRUE(textured.SaidWithin(
      "cannot load the texture \"/nonexistent/skin.bmp\": No such file or directory", kAppear))
      << textured.Err();
  EndWithKey(textured);

  const std::string empty = root + "/empty.x";
  std::ofstream{empty};
  Program& missing = Run({"/s", "--x-file-name", empty});
  EXPECT_TRUE(missing.SaidWithin("cannot load the object file \"" + empty + "\": the file is empty",
                                 kAppear))
      << missing.Err();
  EndWithKey(missing);

  Program& noWindow = Run({"/p", "99999999"});
  EXPECT_EQ(noWindow.Wait(kExit), 255);
  EXPECT_TRUE(Contains(noWindow.Err(), "no window with the id \"99999999\"")) << noWindow.Err();
}

TEST_F(CommandLine, FlagsOverrideTheSettingsFileForOneRunAndLeaveItAsItWas) {
  ASSERT_TRUE(StartServer());
  WriteSettings(config(), {"# mine", "ScreenMode = dword 0", "XFileName = sz \"/nowhere/file.x\""});
  const std::string before = ReadFile(settingsFile());
  Program& saver = Run({"/s", "--x-file-name", "/nowhere/flag.x", "--rendering", "wireframe"});
  EXPECT_TRUE(saver.SaidWithin("cannot load the object file \"/nowhere/flag.x\"", kAppear))
      << saver.Err();
  EXPECT_FALSE(Contains(saver.Err(), "file.x"));
  EndWithKey(saver);
  EXPECT_EQ(ReadFile(settingsFile()), before);
}

// The settings file of the first run holds every value at its default under a
// comment that points at the documentation; reading it back gives the defaults.
TEST_F(CommandLine, TheFirstRunWritesEveryValueAtItsDefault) {
  ASSERT_TRUE(StartServer());
  Program& saver = Run({"/s", "--screen-mode", "window"});
  EXPECT_TRUE(Drawn());
  EndWithKey(saver);
  const std::string text = ReadFile(settingsFile());
  ASSERT_FALSE(text.empty()) << "no settings file was written";
  EXPECT_EQ(text.rfind("# Quellar settings", 0), 0u) << text;
  EXPECT_TRUE(Contains(text, "man 6 quellar"));
  EXPECT_TRUE(Contains(text, "ScreenMode = dword 1")) << "a flag was saved:\n" << text;
  for (const char* name : {"FixedSpeed", "Speed", "Size", "Generations", "ConnectTBLR", "Colors",
                           "Roll", "CameraMove", "Wave", "LocusOfSplit", "ScreenMode",
                           "ScreenColor", "Rendering", "FPS", "XScale", "TextureName",
                           "DDDriverName", "D3DDriverName"}) {
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
  Program& saver = Run({"-window", "--screen-mode", "window"});
  Window frame = 0;
  ASSERT_TRUE(WaitUntil([&] { return (frame = FindTopLevel(x, "Quellar")) != 0; }, kAppear))
      << saver.Err();
  EXPECT_TRUE(Drawn()) << saver.Err();
  XKillClient(x, frame);
  XSync(x, False);
  EXPECT_EQ(saver.Wait(kExit), 0) << saver.Err();
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
  Program& saver = Run({"/s", "--screen-mode", "window"}, "", prefix + "/bin/quellar");
  EXPECT_TRUE(Drawn()) << saver.Err();
  EXPECT_FALSE(Contains(saver.Err(), "cannot load")) << saver.Err();
  EndWithKey(saver);
}

}  // namespace
