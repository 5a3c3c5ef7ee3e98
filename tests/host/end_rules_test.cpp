#include <thread>

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

TEST_F(EndRules, PressesEndReleasesAndTheWheelDoNot) {
  for (uint32_t m : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
    Send(m);
    EXPECT_EQ(DrainCloses(), 1) << std::hex << m;
  }
  for (uint32_t m :
       {WM_KEYUP, WM_SYSKEYUP, WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP, WM_MOUSEWHEEL}) {
    Send(m);
    EXPECT_EQ(DrainCloses(), 0) << std::hex << m;
  }
}

TEST_F(EndRules, ActivationAndPower) {
  Send(WM_ACTIVATEAPP, 1);
  EXPECT_EQ(DrainCloses(), 0);
  Send(WM_ACTIVATEAPP, 0);
  EXPECT_EQ(DrainCloses(), 1);
  Send(WM_POWER, 1);
  EXPECT_EQ(DrainCloses(), 0);
  Send(WM_POWER, PWR_CRITICALRESUME);
  EXPECT_EQ(DrainCloses(), 1);
  Send(WM_POWERBROADCAST, 12345);
  EXPECT_EQ(DrainCloses(), 1);
}

TEST_F(EndRules, NothingEndsWhileThePasswordDialogIsOpen) {
  Host.passwordDialogOpen = true;
  Send(WM_KEYDOWN);
  Send(WM_LBUTTONDOWN);
  EXPECT_EQ(DrainCloses(), 0);
}

TEST_F(EndRules, ClassProcedureSwallowsTitleChangesAndSaverCommands) {
  EXPECT_EQ(SaverClassProc(window, WM_SETTEXT, 0, 0), 0);
  for (WPARAM command : {SC_SCREENSAVE, SC_NEXTWINDOW, SC_PREVWINDOW}) {
    EXPECT_EQ(SaverClassProc(window, WM_SYSCOMMAND, command, 0), 0);
  }
}

TEST_F(EndRules, AutoPlayIsCancelledOnlyUnderAPassword) {
  Host.autoPlayMessage = RegisterWindowMessage("QueryCancelAutoPlay");
  ASSERT_NE(Host.autoPlayMessage, 0u);
  EXPECT_EQ(Send(Host.autoPlayMessage), 0);
  EXPECT_EQ(DrainCloses(), 1);
  Host.passwordCheck = [](HWND) { return 1; };
  EXPECT_EQ(Send(Host.autoPlayMessage), 1);
  EXPECT_EQ(DrainCloses(), 1);
}

}  // namespace
