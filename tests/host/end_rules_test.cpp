#include "host_window_fixture.h"
#include "platform/win/cursor.h"

namespace {

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
  EXPECT_EQ(Host.referenceCursor, cursor) << "the end makes the position the new reference";
  Send(WM_MOUSEMOVE);
  EXPECT_EQ(DrainCloses(), 0);
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

TEST_F(EndRules, ClassProcedureSwallowsTitleChangesAndSaverCommandsAndAutoPlayUnderAPassword) {
  EXPECT_EQ(SaverClassProc(window, WM_SETTEXT, 0, 0), 0);
  for (WPARAM command : {SC_SCREENSAVE, SC_NEXTWINDOW, SC_PREVWINDOW}) {
    EXPECT_EQ(SaverClassProc(window, WM_SYSCOMMAND, command, 0), 0);
  }
  // AutoPlay is cancelled only under a password.
  Host.autoPlayMessage = RegisterWindowMessage("QueryCancelAutoPlay");
  ASSERT_NE(Host.autoPlayMessage, 0u);
  EXPECT_EQ(Send(Host.autoPlayMessage), 0);
  EXPECT_EQ(DrainCloses(), 1);
  Host.passwordCheck = [](HWND) { return 1; };
  EXPECT_EQ(Send(Host.autoPlayMessage), 1);
  EXPECT_EQ(DrainCloses(), 1);
}

}  // namespace
