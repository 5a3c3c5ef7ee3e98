#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "host/host.h"
#include "host/termination_watch.h"
#include "host_window_fixture.h"
#include "platform/registry/registry.h"

namespace {

// What the stand-in modules were asked, and what the password check answers.
struct StandIns {
  static inline int verifyCalls = 0, verifyAnswer = 0;
  static inline HWND verifyWindow = 0, changeOwner = 0;
  static inline std::string changeProvider;
  static inline std::vector<std::pair<uint32_t, uint32_t>> systemCalls;

  static int Verify(HWND window) {
    ++verifyCalls;
    verifyWindow = window;
    return verifyAnswer;
  }
  static uint32_t Change(const char* provider, HWND owner, uint32_t, void*) {
    changeProvider = provider;
    changeOwner = owner;
    return 0;
  }
  static bool SystemParameters(uint32_t action, uint32_t uiParam, void*, uint32_t) {
    systemCalls.push_back({action, uiParam});
    return true;
  }
};

void WriteUsePassword(uint32_t value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", KEY_WRITE, &key),
            ERROR_SUCCESS);
  RegSetValueExA(key, "ScreenSaveUsePassword", REG_DWORD, reinterpret_cast<uint8_t*>(&value), 4);
  RegCloseKey(key);
}

class Windows9xTest : public HostWindowTest {
 protected:
  void SetUp() override {
    HostWindowTest::SetUp();
    if (IsSkipped()) return;
    // Each test starts without the desktop key.
    std::filesystem::remove_all(std::filesystem::path(std::getenv("XDG_CONFIG_HOME")) /
                                "Control Panel");
    SetPlatformIdentityForTesting(VER_PLATFORM_WIN32_WINDOWS, 4, 10);
    Host.windows9x = true;
    Host.systemParametersInfo = &StandIns::SystemParameters;
    StandIns::systemCalls.clear();
    StandIns::verifyCalls = StandIns::verifyAnswer = 0;
    RegisterFakeModule("PASSWORD.CPL",
                       {{"VerifyScreenSavePwd", reinterpret_cast<FARPROC>(&StandIns::Verify)}});
  }
};

// No password setting, or a module without the check, loads nothing and
// touches nothing; a password setting loads the check and marks the saver running.
TEST_F(Windows9xTest, APasswordSettingAndAModuleWithTheCheckLoadItAndMarkTheSaverRunning) {
  LoadPasswordModule();  // value absent
  WriteUsePassword(0);
  LoadPasswordModule();
  UnloadPasswordModule();
  UnregisterFakeModules();
  RegisterFakeModule("PASSWORD.CPL", {});
  WriteUsePassword(1);
  LoadPasswordModule();
  EXPECT_EQ(Host.passwordCheck, nullptr);
  EXPECT_EQ(FakeModuleLoadCount("PASSWORD.CPL"), 0);
  EXPECT_TRUE(StandIns::systemCalls.empty());

  RegisterFakeModule("PASSWORD.CPL",
                     {{"VerifyScreenSavePwd", reinterpret_cast<FARPROC>(&StandIns::Verify)}});
  LoadPasswordModule();
  EXPECT_NE(Host.passwordCheck, nullptr);
  EXPECT_EQ(FakeModuleLoadCount("PASSWORD.CPL"), 1);
  UnloadPasswordModule();
  EXPECT_EQ(FakeModuleLoadCount("PASSWORD.CPL"), 0);
  EXPECT_EQ(Host.passwordCheck, nullptr);
  using Call = std::pair<uint32_t, uint32_t>;
  EXPECT_EQ(StandIns::systemCalls,
            (std::vector<Call>{{SPI_SCREENSAVERRUNNING, 1}, {SPI_SCREENSAVERRUNNING, 0}}));
}

TEST_F(Windows9xTest, ARefusedPasswordKeepsTheSaverAndPausesFurtherRequests) {
  EXPECT_TRUE(VerifyClose(window)) << "without a password the first close closes";
  EXPECT_EQ(StandIns::verifyCalls, 0);
  Host.closing = false;
  WriteUsePassword(1);
  LoadPasswordModule();
  EXPECT_EQ(Send(WM_CLOSE), 0);
  EXPECT_EQ(StandIns::verifyCalls, 1);
  EXPECT_EQ(StandIns::verifyWindow, window);
  EXPECT_FALSE(Host.closing);
  EXPECT_FALSE(Host.passwordDialogOpen);
  EXPECT_FALSE(VerifyClose(window)) << "within the pause no dialog is shown at all";
  EXPECT_EQ(StandIns::verifyCalls, 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  StandIns::verifyAnswer = 1;
  EXPECT_TRUE(VerifyClose(window));
  EXPECT_EQ(StandIns::verifyCalls, 2);
  EXPECT_TRUE(Host.closing);
  Send(WM_KEYDOWN);
  EXPECT_EQ(DrainCloses(), 0) << "once closing, input no longer reaches the rules";
  UnloadPasswordModule();
}

TEST_F(Windows9xTest, ThePasswordChangeGoesToTheNamedOwner) {
  RegisterFakeModule("MPR.DLL",
                     {{"PwdChangePasswordA", reinterpret_cast<FARPROC>(&StandIns::Change)}});
  EXPECT_EQ(HostMain(("/a " + std::to_string(window)).c_str()), 0);
  EXPECT_EQ(StandIns::changeProvider, "SCRSAVE");
  EXPECT_EQ(StandIns::changeOwner, window);
  EXPECT_EQ(FakeModuleLoadCount("MPR.DLL"), 0);
  UnregisterFakeModules();
  EXPECT_EQ(HostMain("/a 1"), 0) << "a missing module is no failure";
}

TEST_F(HostWindowTest, TerminationSignalsBecomeACloseOfTheWindow) {
  auto wait = [](auto done) {
    for (int i = 0; i < 100 && !done(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  };
  TerminationWatch watch;
  std::raise(SIGTERM);  // before the window is known
  wait([&] { return watch.Requested(); });
  ASSERT_TRUE(watch.Requested());
  watch.CloseOnRequest(window);
  EXPECT_EQ(DrainCloses(), 1);
  std::raise(SIGINT);
  int closes = 0;
  wait([&] { return (closes += DrainCloses()) > 0; });
  EXPECT_EQ(closes, 1);
}

}  // namespace
