#pragma once
#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog/dialog.h"

class QTimer;
class DialogWindow;

// What the dialog layer keeps for every dialog and control. Everything here is
// touched on the application object's thread only; the handle table alone is
// also read from other threads (see dialog_registry.cpp).

enum class ControlKind {
  PushButton,
  RadioButton,  // automatic or not, see Control::automatic
  CheckBox,
  GroupBox,
  Text,         // STATIC with text
  Icon,         // STATIC showing an icon resource
  BlackRect,    // STATIC black rectangle, a native window
  Edit,
  ComboBox,
  Trackbar,
  TabControl,
  Other,
};

struct Control {
  HWND handle = 0;
  int id = 0;
  ControlKind kind = ControlKind::Other;
  uint32_t style = 0;
  bool automatic = false;  // automatic radio button or check box
  size_t groupStart = 0;   // index of the first control of its group
  QPointer<QWidget> widget;
  WNDPROC proc = nullptr;  // the procedure that sees the control's messages
  intptr_t userData = 0;
  HWND offscreen = 0;      // the memory window standing for it without a display
  // Text set by the program that is not valid UTF-8: the bytes are given back
  // for as long as the control still shows what they were turned into.
  std::optional<QByteArray> rawText;
  QString shownText;
};

struct DialogTimer {
  QTimer* timer = nullptr;
  TIMERPROC proc = nullptr;
};

struct Dialog {
  HWND handle = 0;
  HWND owner = 0;
  DLGPROC proc = nullptr;
  intptr_t userData = 0;
  QPointer<DialogWindow> window;
  std::vector<std::unique_ptr<Control>> controls;
  std::map<std::pair<HWND, uintptr_t>, DialogTimer> timers;
  HWND offscreen = 0;
  bool ended = false;
  intptr_t result = 0;
  int baseX = 0, baseY = 0;  // dialog base units in pixels
  int defaultId = 1;

  Control* Find(int id);
  Control* Find(HWND handle);
  size_t IndexOf(const Control* control) const;
};

// The dialog or control a handle names; null for anything else.
Dialog* FindDialog(HWND handle);
Control* FindControl(HWND handle, Dialog** dialog = nullptr);
QWidget* WidgetOf(HWND handle);
// The dialog or control whose widget is or holds this one; 0 for none.
HWND HandleOfWidget(const QWidget* widget);

// Handles: X window ids under a display, otherwise numbers of our own.
HWND AllocateHandle();
void RegisterHandle(HWND handle, Dialog* dialog);
void UnregisterHandle(HWND handle);
// Installs the window provider once.
void InstallDialogProvider();

// Sends the dialog procedure a message; FALSE for a dialog that is gone.
intptr_t SendToDialog(Dialog& dialog, uint32_t message, WPARAM wParam, LPARAM lParam);
// WM_COMMAND for a control's notification.
void NotifyCommand(Dialog& dialog, const Control& control, uint16_t code);

// Widgets of each control class, their signals turned into notifications.
QWidget* CreateControlWidget(Dialog& dialog, Control& control, const char* className,
                             const QString& caption, QWidget* parent);
// The procedure every control starts with: the control's own behaviour.
LRESULT DefaultControlProc(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);
// Typed characters of a subclassed edit box go through its procedure as WM_CHAR.
void WatchCharacters(Control& control, QWidget* editor);

// Control texts (bytes, UTF-8 when valid).
void SetControlText(Control& control, const char* text);
QByteArray ControlText(const Control& control);
QString DisplayText(const QByteArray& bytes);
// The bytes an entry or edit field stands for, kept beside what it shows.
QByteArray TextBytes(const QString& shown, const std::optional<QByteArray>& raw,
                     const QString& rawShown);

// Ends the modal loops whose dialogs have ended.
void WakeModalLoops();
