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

int verifyCalls = 0;
int verifyAnswer = 0;
HWND verifyWindow = 0;
int VerifyStandIn(HWND window) {
  ++verifyCalls;
  verifyWindow = window;
  return verifyAnswer;
}

std::vector<std::pair<uint32_t, uint32_t>> systemCalls;
bool RecordSystemParameters(uint32_t action, uint32_t uiParam, void*, uint32_t) {
  systemCalls.push_back({action, uiParam});
  return true;
}

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
    Host.systemParametersInfo = &RecordSystemParameters;
    systemCalls.clear();
    verifyCalls = 0;
    verifyAnswer = 0;
    RegisterFakeModule("PASSWORD.CPL",
                       {{"VerifyScreenSavePwd", reinterpret_cast<FARPROC>(&VerifyStandIn)}});
  }
};

TEST_F(Windows9xTest, APasswordSettingLoadsTheCheckAndMarksTheSaverRunning) {
  WriteUsePassword(1);
  LoadPasswordModule();
  EXPECT_NE(Host.passwordCheck, nullptr);
  EXPECT_EQ(FakeModuleLoadCount("PASSWORD.CPL"), 1);
  UnloadPasswordModule();
  EXPECT_EQ(FakeModuleLoadCount("PASSWORD.CPL"), 0);
  EXPECT_EQ(Host.passwordCheck, nullptr);
  using Call = std::pair<uint32_t, uint32_t>;
  EXPECT_EQ(systemCalls,
            (std::vector<Call>{{SPI_SCREENSAVERRUNNING, 1}, {SPI_SCREENSAVERRUNNING, 0}}));
}

TEST_F(Windows9xTest, NoPasswordSettingLoadsNothingAndTouchesNothing) {
  LoadPasswordModule();  // value absent
  WriteUsePassword(0);
  LoadPasswordModule();
  UnloadPasswordModule();
  EXPECT_EQ(FakeModuleLoadCount("PASSWORD.CPL"), 0);
  EXPECT_TRUE(systemCalls.empty());
}

TEST_F(Windows9xTest, AModuleWithoutTheEntryIsLetGo) {
  UnregisterFakeModules();
  RegisterFakeModule("PASSWORD.CPL", {});
  WriteUsePassword(1);
  LoadPasswordModule();
  EXPECT_EQ(Host.passwordCheck, nullptr);
  EXPECT_EQ(FakeModuleLoadCount("PASSWORD.CPL"), 0);
  EXPECT_TRUE(systemCalls.empty());
}

TEST_F(Windows9xTest, ARefusedPasswordKeepsTheSaverAndPausesFurtherRequests) {
  WriteUsePassword(1);
  LoadPasswordModule();
  EXPECT_EQ(Send(WM_CLOSE), 0);
  EXPECT_EQ(verifyCalls, 1);
  EXPECT_EQ(verifyWindow, window);
  EXPECT_FALSE(Host.closing);
  EXPECT_FALSE(Host.passwordDialogOpen);
  // Within the pause no dialog is shown at all.
  EXPECT_FALSE(VerifyClose(window));
  EXPECT_EQ(verifyCalls, 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  verifyAnswer = 1;
  EXPECT_TRUE(VerifyClose(window));
  EXPECT_EQ(verifyCalls, 2);
  EXPECT_TRUE(Host.closing);
  // Once closing, input no longer reaches the rules.
  Send(WM_KEYDOWN);
  EXPECT_EQ(DrainCloses(), 0);
  UnloadPasswordModule();
}

TEST_F(Windows9xTest, WithoutAPasswordTheFirstCloseCloses) {
  EXPECT_TRUE(VerifyClose(window));
  EXPECT_TRUE(Host.closing);
  EXPECT_EQ(verifyCalls, 0);
}

uint32_t changeCalls = 0;
std::string changeProvider;
HWND changeOwner = 0;
uint32_t ChangeStandIn(const char* provider, HWND owner, uint32_t, void*) {
  ++changeCalls;
  changeProvider = provider;
  changeOwner = owner;
  return 0;
}

TEST_F(Windows9xTest, ThePasswordChangeGoesToTheNamedOwner) {
  RegisterFakeModule("MPR.DLL",
                     {{"PwdChangePasswordA", reinterpret_cast<FARPROC>(&ChangeStandIn)}});
  changeCalls = 0;
  std::string line = "/a " + std::to_string(window);
  EXPECT_EQ(HostMain(line.c_str()), 0);
  EXPECT_EQ(changeCalls, 1u);
  EXPECT_EQ(changeProvider, "SCRSAVE");
  EXPECT_EQ(changeOwner, window);
  EXPECT_EQ(FakeModuleLoadCount("MPR.DLL"), 0);
  UnregisterFakeModules();
  EXPECT_EQ(HostMain("/a 1"), 0) << "a missing module is no failure";
}

TEST_F(HostWindowTest, TerminationSignalsBecomeACloseOfTheWindow) {
  TerminationWatch watch;
  std::raise(SIGTERM);  // before the window is known
  for (int i = 0; i < 100 && !watch.Requested(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(watch.Requested());
  watch.CloseOnRequest(window);
  EXPECT_EQ(DrainCloses(), 1);
  std::raise(SIGINT);
  int closes = 0;
  for (int i = 0; i < 100 && closes == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    closes = DrainCloses();
  }
  EXPECT_EQ(closes, 1);
}

}  // namespace
