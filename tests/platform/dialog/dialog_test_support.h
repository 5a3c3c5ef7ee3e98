#pragma once
#include <gtest/gtest.h>

#include <QWidget>
#include <functional>
#include <vector>

#include "platform/dialog/common_controls.h"
#include "platform/dialog/dialog.h"
#include "platform/dialog/dialog_internal.h"
#include "resources/dialog_template.h"

// A small dialog of the tests' own, driven through the dialog layer's calls
// while its modal loop runs.

namespace test_ids {
inline constexpr int kOk = 1, kCancel = 2, kTabs = 100;
inline constexpr int kSpeedBox = 200, kFixed = 201, kRandom = 202;
inline constexpr int kColourBox = 210, kColourFirst = 211;  // 211-213
inline constexpr int kTrackbar = 300, kNarrowEdit = 400, kWideEdit = 401;
inline constexpr int kList = 500, kEditCombo = 501, kBlack = 600, kLabel = 601;
}  // namespace test_ids

const DialogTemplate& TestTemplate();

struct Seen {
  uint32_t message;
  WPARAM wParam;
  LPARAM lParam;
  uint32_t notifyCode;  // WM_NOTIFY's code
};

struct DialogRun {
  HWND owner = 0;
  LPARAM param = 0;
  // Runs once the dialog is shown, inside its modal loop. It ends the dialog
  // itself or leaves that to what it sets off.
  std::function<void(HWND dialog)> body;
  // Answers for WM_COMMAND; the default ends the dialog with 1 on IDOK and 2 on IDCANCEL.
  std::function<intptr_t(HWND dialog, WPARAM wParam)> onCommand;
};

// Runs the dialog to its end; the messages its procedure saw are in SeenOf().
intptr_t RunDialog(const DialogRun& run);
std::vector<Seen> SeenOf(uint32_t message);  // 0: all of them, in order

QWidget* Widget(HWND dialog, int id);
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000);
