// The host's rules on a hidden window whose procedure hands everything to the default
// saver procedure, one message at a time; what they post is read back from the queue.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "host/host.h"
#include "host/host_state.h"
#include "host/saver_class_proc.h"
#include "host/termination_watch.h"
#include "platform/registry/registry.h"
#include "platform/sys/dynamic_module.h"
#include "platform/sys/platform_identity.h"
#include "platform/win/application.h"
#include "platform/win/cursor.h"
#include "platform/win/message_loop.h"
#include "platform/win/window.h"

namespace {

LRESULT HostTestProc(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE || message == WM_DESTROY || message == WM_CLOSE)
    return DefWindowProc(window, message, wParam, lParam);
  return DefaultSaverProc(window, message, wParam, lParam);
}

class HostWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display";
    static char name[] = "host_tests";
    char* argv[] = {name, nullptr};
    EnsureGuiApplication(1, argv);
    static bool registered = RegisterClass({0, &HostTestProc, "QuellarHostTestClass"});
    ASSERT_TRUE(registered);
    window = CreateWindowEx(0, "QuellarHostTestClass", "host test", WS_POPUP, 0, 0, 64, 64, 0);
    ASSERT_NE(window, 0u);
    ResetHostState();
    DrainCloses();
  }

  void TearDown() override {
    if (window != 0) DestroyWindow(window);
    ResetHostState();
    UnregisterFakeModules();
    ResetPlatformIdentityForTesting();
  }

  // How many WM_CLOSE the rules posted since the last look.
  int DrainCloses() {
    int count = 0;
    MSG message;
    while (PeekMessage(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE)) ++count;
    return count;
  }

  LRESULT Send(uint32_t message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return DefaultSaverProc(window, message, wParam, lParam);
  }

  HWND window = 0;
};

using EndRules = HostWindowTest;

TEST_F(EndRules, MovesCountFromTheReferenceNotFromTheLastMove) {
  POINT cursor;
  ASSERT_TRUE(GetCursorPos(&cursor));
  Host.referenceCursor = {cursor.x - 3, cursor.y - 1};
  Send(WM_MOUSEMOVE);
  EXPECT_EQ(DrainCloses(), 0) << "4 pixels is jitter";
  Host.referenceCursor = {cursor.x + 3, cursor.y - 2};
  Send(WM_MOUSEMOVE);
  EXPECT_EQ(DrainCloses(), 1) << "5 pixels ends";
  Send(WM_MOUSEMOVE);
  EXPECT_EQ(DrainCloses(), 0) << "the end makes the position the new reference";
}

TEST_F(EndRules, PressesDeactivationAndPowerEndButNotWhileThePasswordDialogIsOpen) {
  auto expect = [&](uint32_t message, WPARAM wParam, int closes) {
    Send(message, wParam);
    EXPECT_EQ(DrainCloses(), closes) << std::hex << message << " with " << wParam;
  };
  for (uint32_t m : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN})
    expect(m, 0, 1);
  for (uint32_t m :
       {WM_KEYUP, WM_SYSKEYUP, WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP, WM_MOUSEWHEEL})
    expect(m, 0, 0);
  expect(WM_ACTIVATEAPP, 1, 0);
  expect(WM_ACTIVATEAPP, 0, 1);
  expect(WM_POWER, 1, 0);
  expect(WM_POWER, PWR_CRITICALRESUME, 1);
  expect(WM_POWERBROADCAST, 12345, 1);
  Host.passwordDialogOpen = true;
  expect(WM_KEYDOWN, 0, 0);
  expect(WM_LBUTTONDOWN, 0, 0);
}

// AutoPlay is cancelled only under a password.
TEST_F(EndRules, ClassProcedureSwallowsTitleChangesAndSaverCommandsAndAutoPlayUnderAPassword) {
  EXPECT_EQ(SaverClassProc(window, WM_SETTEXT, 0, 0), 0);
  for (WPARAM command : {SC_SCREENSAVE, SC_NEXTWINDOW, SC_PREVWINDOW})
    EXPECT_EQ(SaverClassProc(window, WM_SYSCOMMAND, command, 0), 0);
  Host.autoPlayMessage = RegisterWindowMessage("QueryCancelAutoPlay");
  ASSERT_NE(Host.autoPlayMessage, 0u);
  EXPECT_EQ(Send(Host.autoPlayMessage), 0);
  EXPECT_EQ(DrainCloses(), 1);
  Host.passwordCheck = [](HWND) { return 1; };
  EXPECT_EQ(Send(Host.autoPlayMessage), 1);
  EXPECT_EQ(DrainCloses(), 1);
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

// What the stand-in modules were asked, and what the password check answers.
struct StandIns {
  static inline int verifyCalls = 0, verifyAnswer = 0;
  static inline HWND changeOwner = 0;
  static inline std::string changeProvider;
  static inline std::vector<std::pair<uint32_t, uint32_t>> systemCalls;

  static int Verify(HWND) {
    ++verifyCalls;
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

void RegisterPasswordModule(bool withTheCheck) {
  const auto check = reinterpret_cast<FARPROC>(&StandIns::Verify);
  UnregisterFakeModules();
  RegisterFakeModule("PASSWORD.CPL", {{withTheCheck ? "VerifyScreenSavePwd" : "Other", check}});
}

class Windows9xTest : public HostWindowTest {
 protected:
  void SetUp() override {
    HostWindowTest::SetUp();
    if (IsSkipped()) return;
    std::filesystem::remove(RegKeyFilePath("Control Panel\\Desktop"));  // no password setting
    SetPlatformIdentityForTesting(VER_PLATFORM_WIN32_WINDOWS, 4, 10);
    Host.windows9x = true;
    Host.systemParametersInfo = &StandIns::SystemParameters;
    StandIns::systemCalls.clear();
    StandIns::verifyCalls = StandIns::verifyAnswer = 0;
    RegisterPasswordModule(true);
  }
};

// No password setting, or a module without the check, loads and touches nothing
// and the first close closes; a refused password keeps the saver running.
TEST_F(Windows9xTest, APasswordIsCheckedOnCloseAndARefusalPausesFurtherRequests) {
  LoadPasswordModule();  // value absent
  WriteUsePassword(0);
  LoadPasswordModule();
  RegisterPasswordModule(false);
  WriteUsePassword(1);
  LoadPasswordModule();
  EXPECT_EQ(Host.passwordCheck, nullptr);
  EXPECT_EQ(FakeModuleLoadCount("PASSWORD.CPL"), 0);
  EXPECT_TRUE(StandIns::systemCalls.empty());
  EXPECT_TRUE(VerifyClose(window)) << "without a password the first close closes";
  Host.closing = false;

  RegisterPasswordModule(true);
  LoadPasswordModule();
  EXPECT_EQ(FakeModuleLoadCount("PASSWORD.CPL"), 1);
  EXPECT_EQ(Send(WM_CLOSE), 0);
  EXPECT_EQ(StandIns::verifyCalls, 1);
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
  EXPECT_EQ(FakeModuleLoadCount("PASSWORD.CPL"), 0);
  EXPECT_EQ(Host.passwordCheck, nullptr);
  using Call = std::pair<uint32_t, uint32_t>;
  EXPECT_EQ(StandIns::systemCalls,
            (std::vector<Call>{{SPI_SCREENSAVERRUNNING, 1}, {SPI_SCREENSAVERRUNNING, 0}}));
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

}  // namespace
