#include "dialog_test_support.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include "platform/dialog/control_styles.h"
#include "platform/dialog/dialog_internal.h"

namespace {

using namespace test_ids;

constexpr uint32_t kRadio = BS_AUTORADIOBUTTON;
constexpr DialogItemTemplate kItems[] = {
    {kOk, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 10, 150, 50, 14},
    {kCancel, "BUTTON", "ｷｬﾝｾﾙ", BS_PUSHBUTTON | WS_TABSTOP, 70, 150, 50, 14},
    {kTabs, "SysTabControl32", "", WS_TABSTOP, 5, 5, 250, 140},
    {kSpeedBox, "BUTTON", "速さ(&S)", BS_GROUPBOX | WS_GROUP, 10, 25, 120, 28},
    {kFixed, "BUTTON", "固定", kRadio | WS_GROUP, 15, 37, 40, 10},
    {kRandom, "BUTTON", "ﾗﾝﾀﾞﾑ", kRadio, 60, 37, 40, 10},
    {kColourBox, "BUTTON", "色(&C)", BS_GROUPBOX | WS_GROUP, 10, 58, 120, 28},
    {kColourFirst, "BUTTON", "単色", kRadio | WS_GROUP, 15, 70, 30, 10},
    {kColourFirst + 1, "BUTTON", "複数", kRadio, 50, 70, 30, 10},
    {kColourFirst + 2, "BUTTON", "ﾗﾝﾀﾞﾑ", kRadio, 85, 70, 40, 10},
    {kTrackbar, "msctls_trackbar32", "", TBS_AUTOTICKS | WS_TABSTOP, 140, 25, 110, 16},
    {kNarrowEdit, "EDIT", "", WS_BORDER | WS_TABSTOP, 140, 47, 30, 12},
    {kWideEdit, "EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 140, 63, 100, 12},
    {kList, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 140, 80, 100, 60},
    {kEditCombo, "COMBOBOX", "", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 140, 98, 100, 60},
    {kBlack, "STATIC", "", SS_BLACKRECT, 10, 92, 60, 45},
    {kLabel, "STATIC", "右寄せ", SS_RIGHT, 75, 92, 50, 9},
};

constexpr DialogTemplate kTemplate{
    0,       "TESTDLG", 0x80000000 | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 260, 170,
    "ダイアログの試験", "ＭＳ Ｐゴシック", 10, kItems};

std::vector<Seen> seen;
const DialogRun* current = nullptr;

intptr_t TestProc(HWND dialog, uint32_t message, WPARAM wParam, LPARAM lParam) {
  uint32_t code = message == WM_NOTIFY ? reinterpret_cast<const NMHDR*>(lParam)->code : 0;
  seen.push_back({message, wParam, lParam, code});
  const DialogRun& run = *current;
  switch (message) {
    case WM_INITDIALOG:
      if (run.body)
        QTimer::singleShot(0, [dialog, &run] {
          // The window manager's (or the server's) focus arrives a moment after the window.
          PumpUntil([dialog] { return QApplication::activeWindow() == WidgetOf(dialog); }, 2000);
          run.body(dialog);
        });
      return TRUE;
    case WM_COMMAND:
      if (run.onCommand) return run.onCommand(dialog, wParam);
      if (wParam == kOk || wParam == kCancel) {
        EndDialog(dialog, static_cast<intptr_t>(wParam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

const DialogTemplate& TestTemplate() {
  return kTemplate;
}

intptr_t RunDialog(const DialogRun& run) {
  seen.clear();
  const DialogRun* outer = current;
  current = &run;
  intptr_t result = DialogBoxIndirectParam(kTemplate, run.owner, TestProc, run.param);
  current = outer;
  return result;
}

std::vector<Seen> SeenOf(uint32_t message) {
  std::vector<Seen> out;
  for (const Seen& s : seen)
    if (message == 0 || s.message == message) out.push_back(s);
  return out;
}

QWidget* Widget(HWND dialog, int id) {
  return WidgetOf(GetDlgItem(dialog, id));
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}
