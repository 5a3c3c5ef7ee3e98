#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "dialog_test_support.h"

// What the dialog procedure hears from the controls, and the controls' own rules.

namespace {

using namespace test_ids;

WPARAM Command(int id, uint16_t code) {
  return (WPARAM(code) << 16) | WPARAM(id);
}

bool SawCommand(int id, uint16_t code) {
  for (const Seen& s : SeenOf(WM_COMMAND))
    if (s.wParam == Command(id, code)) return true;
  return false;
}

TEST(DialogMessages, UserActionsReachTheProcedureWithIdAndCode) {
  intptr_t initWParam = 0;
  LPARAM initLParam = 0;
  HWND okHandle = 0, listHandle = 0;
  int tabAfterClick = -1, notifiesAfterSetCursel = -1;
  DialogRun run;
  run.param = 4711;
  run.body = [&](HWND dialog) {
    initWParam = static_cast<intptr_t>(SeenOf(WM_INITDIALOG).at(0).wParam);
    initLParam = SeenOf(WM_INITDIALOG).at(0).lParam;
    okHandle = GetDlgItem(dialog, kOk);
    listHandle = GetDlgItem(dialog, kList);
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
    notifiesAfterSetCursel = static_cast<int>(SeenOf(WM_NOTIFY).size());
    auto* tabs = static_cast<QTabWidget*>(Widget(dialog, kTabs));
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
    tabAfterClick = static_cast<int>(SendDlgItemMessage(dialog, kTabs, TCM_GETCURSEL, 0, 0));
    QTest::keyClicks(Widget(dialog, kWideEdit), "x");
    Widget(dialog, kList)->setFocus();
    QTest::keyClick(Widget(dialog, kList), Qt::Key_Down);
    QTest::mouseClick(Widget(dialog, kRandom), Qt::LeftButton);
    QTest::mouseClick(Widget(dialog, kOk), Qt::LeftButton);
  };
  EXPECT_EQ(RunDialog(run), 1);
  EXPECT_EQ(initLParam, 4711);
  EXPECT_EQ(initWParam, static_cast<intptr_t>(okHandle)) << "the first tab stop";
  EXPECT_EQ(notifiesAfterSetCursel, 0);
  auto notifies = SeenOf(WM_NOTIFY);
  ASSERT_EQ(notifies.size(), 1u);
  EXPECT_EQ(notifies[0].notifyCode, TCN_SELCHANGE);
  EXPECT_EQ(notifies[0].wParam, WPARAM(kTabs));
  EXPECT_EQ(tabAfterClick, 1);
  EXPECT_TRUE(SawCommand(kWideEdit, EN_CHANGE));
  EXPECT_TRUE(SawCommand(kList, CBN_SELCHANGE));
  EXPECT_TRUE(SawCommand(kRandom, BN_CLICKED));
  bool okWithHandle = false;
  for (const Seen& s : SeenOf(WM_COMMAND))
    okWithHandle |= s.wParam == Command(kOk, BN_CLICKED) && s.lParam == LPARAM(okHandle);
  EXPECT_TRUE(okWithHandle);
  EXPECT_NE(listHandle, 0u);
  EXPECT_EQ(SeenMessages().back().message, WM_DESTROY);
}

TEST(DialogMessages, AutomaticRadioButtonsKeepToTheirGroup) {
  struct Step {
    const char* what;
    std::function<void(HWND)> act;
    std::vector<int> checked;  // of 201, 202, 211, 212, 213
  };
  auto click = [](int id) { return [id](HWND d) { QTest::mouseClick(Widget(d, id), Qt::LeftButton); }; };
  auto set = [](int id, uint32_t state) {
    return [id, state](HWND d) { SendDlgItemMessage(d, id, BM_SETCHECK, state, 0); };
  };
  std::vector<Step> steps = {
      {"BM_SETCHECK checks one", set(kFixed, BST_CHECKED), {kFixed}},
      {"BM_SETCHECK never unchecks the others", set(kRandom, BST_CHECKED), {kFixed, kRandom}},
      {"a click checks one and unchecks the rest", click(kFixed), {kFixed}},
      {"another group is left alone", click(kColourFirst + 2), {kFixed, kColourFirst + 2}},
      {"clicking a checked button keeps it", click(kColourFirst + 2), {kFixed, kColourFirst + 2}},
      {"BM_SETCHECK unchecks", set(kFixed, BST_UNCHECKED), {kColourFirst + 2}},
      {"a click in the first group", click(kRandom), {kRandom, kColourFirst + 2}},
  };
  std::vector<std::string> failures;
  DialogRun run;
  run.body = [&](HWND dialog) {
    for (const Step& step : steps) {
      step.act(dialog);
      std::vector<int> checked;
      for (int id : {kFixed, kRandom, kColourFirst, kColourFirst + 1, kColourFirst + 2})
        if (IsDlgButtonChecked(dialog, id) == BST_CHECKED) checked.push_back(id);
      if (checked != step.checked) failures.push_back(step.what);
    }
    EndDialog(dialog, 0);
  };
  RunDialog(run);
  EXPECT_TRUE(failures.empty()) << ::testing::PrintToString(failures);
}

TEST(DialogMessages, TrackbarKeepsItsPositionInRangeAndShowsATickPerValue) {
  std::vector<LRESULT> positions;
  LRESULT previousPage = 0;
  int tickColumns = 0;
  DialogRun run;
  run.body = [&](HWND dialog) {
    auto send = [&](uint32_t m, WPARAM w, LPARAM l) { return SendDlgItemMessage(dialog, kTrackbar, m, w, l); };
    send(TBM_SETRANGE, TRUE, MAKELPARAM(1, 9));
    send(TBM_SETPOS, TRUE, 0);
    positions.push_back(send(TBM_GETPOS, 0, 0));  // 1: below the range
    send(TBM_SETPOS, TRUE, 12);
    positions.push_back(send(TBM_GETPOS, 0, 0));  // 9: above it
    send(TBM_SETPOS, TRUE, 4);
    positions.push_back(send(TBM_GETPOS, 0, 0));
    previousPage = send(TBM_SETPAGESIZE, 0, 1);
    // A keyboard page step moves by the page size.
    Widget(dialog, kTrackbar)->setFocus();
    QTest::keyClick(Widget(dialog, kTrackbar), Qt::Key_PageUp);
    positions.push_back(send(TBM_GETPOS, 0, 0));
    send(TBM_SETRANGE, TRUE, MAKELPARAM(0, 20));
    PumpEvents(50);
    // Count the tick marks drawn under the groove: one per value.
    QImage image = Widget(dialog, kTrackbar)->grab().toImage();
    for (int row = image.height() / 2; row < image.height(); ++row) {
      QRgb background = image.pixel(0, row);
      int marks = 0;
      bool inMark = false;
      for (int x = 0; x < image.width(); ++x) {
        bool dark = qGray(image.pixel(x, row)) + 30 < qGray(background);
        marks += dark && !inMark;
        inMark = dark;
      }
      tickColumns = std::max(tickColumns, marks);
    }
    EndDialog(dialog, 0);
  };
  RunDialog(run);
  EXPECT_EQ(positions, (std::vector<LRESULT>{1, 9, 4, 5}));
  EXPECT_NE(previousPage, 1);
  EXPECT_EQ(tickColumns, 21);
}

TEST(DialogMessages, TimersArriveAsWmTimerOrThroughTheirProcedure) {
  static int procCalls = 0;
  static uintptr_t procId = 0;
  procCalls = 0;
  bool killed = false;
  int timerMessagesAtKill = 0;
  DialogRun run;
  run.body = [&](HWND dialog) {
    // The window library's own names reach the dialog.
    SetTimer(dialog, 1, 20);
    SetTimer(dialog, 2, 20, [](HWND, uint32_t message, uintptr_t id, uint32_t) {
      if (message == WM_TIMER) ++procCalls, procId = id;
    });
    PumpUntil([&] { return SeenOf(WM_TIMER).size() >= 3 && procCalls >= 3; });
    killed = KillTimer(dialog, 1) && KillTimer(dialog, 2);
    timerMessagesAtKill = static_cast<int>(SeenOf(WM_TIMER).size());
    int procCallsAtKill = procCalls;
    PumpEvents(100);
    EXPECT_EQ(procCalls, procCallsAtKill);
    EndDialog(dialog, 0);
  };
  RunDialog(run);
  EXPECT_TRUE(killed);
  EXPECT_EQ(static_cast<int>(SeenOf(WM_TIMER).size()), timerMessagesAtKill);
  EXPECT_GE(timerMessagesAtKill, 3);
  for (const Seen& s : SeenOf(WM_TIMER)) EXPECT_EQ(s.wParam, 1u) << "timer 2 has its own procedure";
  EXPECT_EQ(procId, 2u);
}

}  // namespace
