#include "config/config_dialog_driver.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <sstream>
#include <thread>

#include "config/config_dialog.h"
#include "platform/dialog/common_controls.h"
#include "platform/dialog/dialog.h"
#include "platform/win/window.h"
#include "resources/control_ids.h"

namespace {

constexpr uintptr_t kScriptTimer = 0x5C;
constexpr uint32_t kStepMilliseconds = 40;

std::vector<DialogStep> script;
size_t nextStep = 0;

void PlayStep(HWND dialog, uint32_t, uintptr_t, uint32_t) {
  if (nextStep < script.size()) {
    // A step may open a nested dialog; its loop keeps the script going, on a
    // timer started afresh.
    SetTimer(dialog, kScriptTimer, kStepMilliseconds, &PlayStep);
    DialogStep step = script[nextStep++];
    step(dialog);
  } else {
    ADD_FAILURE() << "the script ended with the dialog still open";
    SendMessage(dialog, WM_COMMAND, IDCANCEL, 0);
  }
}

intptr_t ScriptedProc(HWND dialog, uint32_t message, WPARAM wParam, LPARAM lParam) {
  const intptr_t result = ConfigDialogProc(dialog, message, wParam, lParam);
  if (message == WM_INITDIALOG) SetTimer(dialog, kScriptTimer, kStepMilliseconds, &PlayStep);
  return result;
}

}  // namespace

intptr_t RunConfigDialog(HWND owner, std::vector<DialogStep> steps) {
  script = std::move(steps);
  nextStep = 0;
  return DialogBoxParam(IDD_CONFIG, owner, &ScriptedProc, 0);
}

void Click(HWND dialog, int id) {
  SendDlgItemMessage(dialog, id, BM_CLICK, 0, 0);
}

void Command(HWND dialog, int id, uint16_t notification) {
  SendMessage(dialog, WM_COMMAND, WPARAM(uint32_t(notification) << 16 | uint32_t(id)),
              LPARAM(GetDlgItem(dialog, id)));
}

void SelectTab(HWND dialog, int index) {
  SendDlgItemMessage(dialog, IDC_TABS, TCM_SETCURSEL, WPARAM(index), 0);
  NMHDR header;
  header.hwndFrom = GetDlgItem(dialog, IDC_TABS);
  header.idFrom = IDC_TABS;
  header.code = TCN_SELCHANGE;
  SendMessage(dialog, WM_NOTIFY, IDC_TABS, reinterpret_cast<LPARAM>(&header));
}

bool Checked(HWND dialog, int id) {
  return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}
bool Enabled(HWND dialog, int id) {
  return IsWindowEnabled(GetDlgItem(dialog, id));
}
bool Visible(HWND dialog, int id) {
  return IsWindowVisible(GetDlgItem(dialog, id));
}

std::string Text(HWND dialog, int id) {
  char text[1024];
  GetDlgItemText(dialog, id, text, sizeof text);
  return text;
}

std::vector<std::string> ComboEntries(HWND dialog, int id) {
  std::vector<std::string> entries;
  const auto count = SendDlgItemMessage(dialog, id, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char text[256] = "";
    SendDlgItemMessage(dialog, id, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
    entries.emplace_back(text);
  }
  return entries;
}

int ComboSelection(HWND dialog, int id) {
  return int(SendDlgItemMessage(dialog, id, CB_GETCURSEL, 0, 0));
}

bool WaitFor(HWND dialog, const std::function<bool()>& done, int ms) {
  // The script pauses meanwhile, so no later step runs inside this one.
  KillTimer(dialog, kScriptTimer);
  QElapsedTimer clock;
  clock.start();
  bool held = done();
  while (!held && clock.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    held = done();
  }
  SetTimer(dialog, kScriptTimer, kStepMilliseconds, &PlayStep);
  return held;
}

std::string SettingsLine(const std::string& name) {
  std::istringstream lines(ReadSettingsFile());
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind(name + " = ", 0) == 0) return line;
  }
  return "";
}

void ExpectSavedLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines)
    EXPECT_EQ(SettingsLine(line.substr(0, line.find(' '))), line);
}
