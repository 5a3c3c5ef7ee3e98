#include <QApplication>
#include <QTest>
#include <QWidget>

#include "dialog_test_support.h"
#include "platform/win/x_server.h"

// The dialog as a window: keys, focus, owners, and the window calls of the
// window library on dialogs and controls.

namespace {

using namespace test_ids;

TEST(DialogWindow, KeysAndTheCloseBoxGiveTheDialogManagersCommands) {
  struct Case {
    const char* what;
    std::function<void(HWND)> act;
    intptr_t result;
  };
  auto key = [](int id, Qt::Key k) {
    return [id, k](HWND d) {
      QWidget* w = Widget(d, id);
      w->setFocus();
      QTest::keyClick(w, k);
    };
  };
  const Case cases[] = {
      {"Enter in an edit box is OK", key(kWideEdit, Qt::Key_Return), 1},
      {"Enter on a push button clicks it", key(kCancel, Qt::Key_Return), 2},
      {"Esc is Cancel", key(kWideEdit, Qt::Key_Escape), 2},
      {"the close box is Cancel", [](HWND d) { WidgetOf(d)->close(); }, 2},
  };
  for (const Case& c : cases) {
    DialogRun run;
    run.body = c.act;
    EXPECT_EQ(RunDialog(run), c.result) << c.what;
  }
  // A procedure that ignores Cancel keeps the dialog open.
  DialogRun stubborn;
  stubborn.onCommand = [](HWND, WPARAM) -> intptr_t { return FALSE; };
  stubborn.body = [&](HWND d) {
    QTest::keyClick(WidgetOf(d), Qt::Key_Escape);
    WidgetOf(d)->close();
    PumpUntil([] { return false; }, 50);
    EXPECT_TRUE(IsWindowVisible(d));
    EndDialog(d, 77);
  };
  EXPECT_EQ(RunDialog(stubborn), 77);
}

TEST(DialogWindow, TabFollowsTemplateOrderMnemonicsAndArrowsLeadThroughGroups) {
  DialogRun run;
  run.body = [&](HWND dialog) {
    SendDlgItemMessage(dialog, kRandom, BM_SETCHECK, BST_CHECKED, 0);
    std::vector<int> order;
    for (int i = 0; i < 8; ++i) {
      order.push_back(GetDlgCtrlID(GetFocus()));
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // Tab stops only: radio buttons, group boxes and statics are passed over.
    EXPECT_EQ(order, (std::vector<int>{kOk, kCancel, kTabs, kTrackbar, kNarrowEdit, kWideEdit,
                                       kList, kEditCombo}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), kRandom) << "the checked button of the group";
    // Arrows go round the group, checking as they go.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), kFixed);
    EXPECT_EQ(IsDlgButtonChecked(dialog, kFixed), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, kRandom), BST_UNCHECKED);
    EndDialog(dialog, 7);
  };
  EXPECT_EQ(RunDialog(run), 7);
}

// Moving the dialog is seen through the configuration dialog's About box and preview.
TEST(DialogWindow, ControlsArePlacedInDialogUnits) {
  DialogRun run;
  run.body = [&](HWND dialog) {
    RECT ok{}, cancel{}, tabs{};
    POINT origin{};
    GetWindowRect(GetDlgItem(dialog, kOk), &ok);
    GetWindowRect(GetDlgItem(dialog, kCancel), &cancel);
    GetWindowRect(GetDlgItem(dialog, kTabs), &tabs);
    ClientToScreen(dialog, &origin);
    EXPECT_EQ(GetParent(GetDlgItem(dialog, kOk)), dialog);
    // OK at (10, 150) 50 x 14, Cancel at (70, 150), the tab control at (5, 5).
    const double baseX = (tabs.right - tabs.left) * 4.0 / 250;
    const double baseY = (tabs.bottom - tabs.top) * 8.0 / 140;
    EXPECT_GE(baseX, 5.0);
    EXPECT_GE(baseY, 12.0);
    EXPECT_NEAR(cancel.left - ok.left, 60 * baseX / 4, 1.5);
    EXPECT_EQ(cancel.right - cancel.left, ok.right - ok.left);
    EXPECT_NEAR(ok.top - tabs.top, 145 * baseY / 8, 1.5);
    EXPECT_NEAR(tabs.left - origin.x, 5 * baseX / 4, 1.0);
    EndDialog(dialog, 7);
  };
  EXPECT_EQ(RunDialog(run), 7);
}

TEST(DialogWindow, OwnerOfAnotherProgramMissingOrGoneDoesNotHinderTheDialog) {
  xcb_connection_t* other = xcb_connect(nullptr, nullptr);  // the other program
  const xcb_window_t foreign = xcb_generate_id(other);
  xcb_create_window(other, XCB_COPY_FROM_PARENT, foreign, XServer::Get()->Root(), 0, 0, 300, 200, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
  xcb_map_window(other, foreign);
  free(xcb_get_input_focus_reply(other, xcb_get_input_focus(other), nullptr));
  DialogRun withOwner;
  withOwner.owner = foreign;
  withOwner.body = [&](HWND dialog) {
    const std::vector<xcb_window_t> owner = {foreign};
    EXPECT_TRUE(PumpUntil(
        [&] { return XServer::Get()->GetWindowList(dialog, XCB_ATOM_WM_TRANSIENT_FOR) == owner; }));
    xcb_destroy_window(other, foreign);
    free(xcb_get_input_focus_reply(other, xcb_get_input_focus(other), nullptr));
    PumpUntil([] { return false; }, 100);
    QTest::mouseClick(Widget(dialog, kRandom), Qt::LeftButton);
    EXPECT_EQ(IsDlgButtonChecked(dialog, kRandom), BST_CHECKED) << "after the owner went";
    QTest::mouseClick(Widget(dialog, kOk), Qt::LeftButton);
  };
  EXPECT_EQ(RunDialog(withOwner), 1);

  DialogRun missingOwner;
  missingOwner.owner = foreign;  // gone by now
  missingOwner.body = [&](HWND dialog) {
    EXPECT_EQ(GetParent(dialog), 0u);
    QTest::mouseClick(Widget(dialog, kCancel), Qt::LeftButton);
  };
  EXPECT_EQ(RunDialog(missingOwner), 2);
  xcb_disconnect(other);
}

TEST(DialogWindow, DialogEndedDuringInitDialogIsNeverShown) {
  static bool everShown = false;
  everShown = false;
  auto proc = [](HWND dialog, uint32_t message, WPARAM, LPARAM) -> intptr_t {
    if (message == WM_INITDIALOG) {
      EndDialog(dialog, 0);
      return FALSE;
    }
    if (message == WM_DESTROY) everShown = IsWindowVisible(dialog);
    return FALSE;
  };
  EXPECT_EQ(DialogBoxIndirectParam(TestTemplate(), 0, proc, 0), 0);
  EXPECT_FALSE(everShown);
  EXPECT_EQ(DialogBoxParam("NO SUCH TEMPLATE", 0, proc, 0), -1);
}

}  // namespace
