#include <QApplication>
#include <QTest>
#include <QWidget>

#include "dialog_test_support.h"
#include "x_client.h"

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
  bool stillOpen = false;
  stubborn.onCommand = [](HWND, WPARAM) -> intptr_t { return FALSE; };
  stubborn.body = [&](HWND d) {
    QTest::keyClick(WidgetOf(d), Qt::Key_Escape);
    WidgetOf(d)->close();
    PumpEvents(50);
    stillOpen = IsWindowVisible(d);
    EndDialog(d, 77);
  };
  EXPECT_EQ(RunDialog(stubborn), 77);
  EXPECT_TRUE(stillOpen);
}

TEST(DialogWindow, TabFollowsTemplateOrderMnemonicsAndArrowsLeadThroughGroups) {
  std::vector<int> order;
  int afterMnemonic = 0, afterArrow = 0;
  bool checkedAfterArrow = false;
  DialogRun run;
  run.body = [&](HWND dialog) {
    SendDlgItemMessage(dialog, kRandom, BM_SETCHECK, BST_CHECKED, 0);
    for (int i = 0; i < 8; ++i) {
      order.push_back(GetDlgCtrlID(GetFocus()));
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
    afterMnemonic = GetDlgCtrlID(GetFocus());
    // Arrows go round the group, checking as they go.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    afterArrow = GetDlgCtrlID(GetFocus());
    checkedAfterArrow = IsDlgButtonChecked(dialog, kFixed) == BST_CHECKED &&
                        IsDlgButtonChecked(dialog, kRandom) == BST_UNCHECKED;
    EndDialog(dialog, 0);
  };
  RunDialog(run);
  // Tab stops only: radio buttons, group boxes and statics are passed over.
  std::vector<int> expected = {kOk, kCancel, kTabs, kTrackbar, kNarrowEdit, kWideEdit, kList, kEditCombo};
  EXPECT_EQ(order, expected);
  EXPECT_EQ(afterMnemonic, kRandom) << "the checked button of the group";
  EXPECT_EQ(afterArrow, kFixed);
  EXPECT_TRUE(checkedAfterArrow);
}

// Moving the dialog and looking at it through the window library is left to
// the configuration dialog's About box and preview.
TEST(DialogWindow, ControlsArePlacedInDialogUnits) {
  RECT ok{}, cancel{}, tabs{};
  POINT origin{};
  HWND parent = 0, dialogHandle = 0;
  DialogRun run;
  run.body = [&](HWND dialog) {
    dialogHandle = dialog;
    GetWindowRect(GetDlgItem(dialog, kOk), &ok);
    GetWindowRect(GetDlgItem(dialog, kCancel), &cancel);
    GetWindowRect(GetDlgItem(dialog, kTabs), &tabs);
    ClientToScreen(dialog, &origin);
    parent = GetParent(GetDlgItem(dialog, kOk));
    EndDialog(dialog, 0);
  };
  RunDialog(run);
  EXPECT_EQ(parent, dialogHandle);
  // OK at (10, 150) 50 x 14, Cancel at (70, 150), the tab control at (5, 5).
  int width = ok.right - ok.left;
  double baseX = (tabs.right - tabs.left) * 4.0 / 250, baseY = (tabs.bottom - tabs.top) * 8.0 / 140;
  EXPECT_GE(baseX, 5.0);
  EXPECT_GE(baseY, 12.0);
  EXPECT_NEAR(cancel.left - ok.left, 60 * baseX / 4, 1.5);
  EXPECT_EQ(cancel.right - cancel.left, width);
  EXPECT_NEAR(ok.top - tabs.top, 145 * baseY / 8, 1.5);
  EXPECT_NEAR(tabs.left - origin.x, 5 * baseX / 4, 1.0);
}

TEST(DialogWindow, OwnerOfAnotherProgramMissingOrGoneDoesNotHinderTheDialog) {
  unsigned long foreign = CreateForeignWindow();
  ASSERT_NE(foreign, 0u);
  unsigned long transient = 0;
  bool answeredAfterOwnerWent = false;
  DialogRun withOwner;
  withOwner.owner = foreign;
  withOwner.body = [&](HWND dialog) {
    PumpUntil([&] { return TransientForOf(dialog) == foreign; });
    transient = TransientForOf(dialog);
    DestroyForeignWindow(foreign);
    PumpEvents(100);
    QTest::mouseClick(Widget(dialog, kRandom), Qt::LeftButton);
    answeredAfterOwnerWent = IsDlgButtonChecked(dialog, kRandom) == BST_CHECKED;
    QTest::mouseClick(Widget(dialog, kOk), Qt::LeftButton);
  };
  EXPECT_EQ(RunDialog(withOwner), 1);
  EXPECT_EQ(transient, foreign);
  EXPECT_TRUE(answeredAfterOwnerWent);

  HWND parent = 1;
  DialogRun missingOwner;
  missingOwner.owner = foreign;  // gone by now
  missingOwner.body = [&](HWND dialog) {
    parent = GetParent(dialog);
    QTest::mouseClick(Widget(dialog, kCancel), Qt::LeftButton);
  };
  EXPECT_EQ(RunDialog(missingOwner), 2);
  EXPECT_EQ(parent, 0u);
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
