#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "dialog_test_support.h"

// What the dialog procedure hears from the controls, and the controls' own rules.

namespace {

using namespace test_ids;

bool SawCommand(int id, uint16_t code) {
  for (const Seen& s : SeenOf(WM_COMMAND))
    if (s.wParam == ((WPARAM(code) << 16) | WPARAM(id))) return true;
  return false;
}

TEST(DialogMessages, UserActionsReachTheProcedureWithIdAndCode) {
  DialogRun run;
  run.param = 4711;
  run.body = [&](HWND dialog) {
    EXPECT_EQ(SeenOf(WM_INITDIALOG).at(0).lParam, 4711);
    EXPECT_EQ(SeenOf(WM_INITDIALOG).at(0).wParam, WPARAM(GetDlgItem(dialog, kOk)))
        << "the first tab stop";
    for (const char* entry : {"first", "second"})
      SendDlgItemMessage(dialog, kList, CB_INSERTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(entry));
    for (const char* text : {"ライフゲーム", "Direct3D"}) {
      TCITEMA item;
      item.mask = TCIF_TEXT;
      item.pszText = text;
      SendDlgItemMessage(dialog, kTabs, TCM_INSERTITEMA, 9, reinterpret_cast<LPARAM>(&item));
    }
    // Changes made by the program notify nothing; the user's do.
    SendDlgItemMessage(dialog, kTabs, TCM_SETCURSEL, 1, 0);
    SendDlgItemMessage(dialog, kTabs, TCM_SETCURSEL, 0, 0);
    SendDlgItemMessage(dialog, kList, CB_SETCURSEL, 0, 0);
    EXPECT_TRUE(SeenOf(WM_NOTIFY).empty());
    auto* tabs = static_cast<QTabWidget*>(Widget(dialog, kTabs));
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
    EXPECT_EQ(SendDlgItemMessage(dialog, kTabs, TCM_GETCURSEL, 0, 0), 1);
    QTest::keyClicks(Widget(dialog, kWideEdit), "x");
    Widget(dialog, kList)->setFocus();
    QTest::keyClick(Widget(dialog, kList), Qt::Key_Down);
    QTest::mouseClick(Widget(dialog, kRandom), Qt::LeftButton);
    QTest::mouseClick(Widget(dialog, kOk), Qt::LeftButton);
  };
  EXPECT_EQ(RunDialog(run), 1);
  auto notifies = SeenOf(WM_NOTIFY);
  ASSERT_EQ(notifies.size(), 1u);
  EXPECT_EQ(notifies[0].notifyCode, TCN_SELCHANGE);
  EXPECT_EQ(notifies[0].wParam, WPARAM(kTabs));
  EXPECT_TRUE(SawCommand(kWideEdit, EN_CHANGE));
  EXPECT_TRUE(SawCommand(kList, CBN_SELCHANGE));
  EXPECT_TRUE(SawCommand(kRandom, BN_CLICKED));
  EXPECT_TRUE(SawCommand(kOk, BN_CLICKED));
  EXPECT_EQ(SeenOf(0).back().message, WM_DESTROY);
}

}  // namespace
