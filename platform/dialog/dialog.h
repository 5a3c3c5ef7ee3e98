#pragma once
#include <cstdint>

#include "platform/dialog/control_styles.h"
#include "platform/dialog/dialog_messages.h"
#include "platform/win/message_loop.h"
#include "platform/win/win_types.h"
#include "platform/win/window.h"

struct DialogTemplate;

// Dialogs built from templates (resources/dialog_template.h) on Qt Widgets.
//
// Every control is a window: its handle works with the window calls of
// platform/win (ShowWindow, GetWindowRect, SetWindowPos, IsWindow, GetParent,
// SendMessage, SetTimer, KillTimer ...) as well as with the calls below. Under
// an X display the dialog's handle is its X window id and so is the handle of a
// black-rectangle static (SS_BLACKRECT), whose native window others may draw
// into or put child windows into; the other controls have handles of their own
// that name no X window. Under the offscreen platform the dialog and the
// black-rectangle statics are offscreen windows (platform/win/offscreen_window.h).
//
// All calls belong on the thread that runs the dialog (the application
// object's thread); they answer false, 0 or an empty text for handles that name
// no dialog or control.

// The dialog procedure: TRUE when it handled the message, FALSE to leave it to
// the dialog manager. For WM_INITDIALOG, TRUE lets the dialog manager put the
// keyboard focus on the control in wParam (the first tab stop); FALSE means the
// procedure has placed the focus itself or wants none.
using DLGPROC = intptr_t (*)(HWND dialog, uint32_t message, WPARAM wParam, LPARAM lParam);

constexpr intptr_t TRUE = 1;
constexpr intptr_t FALSE = 0;

// Runs a modal dialog until its procedure calls EndDialog and returns that
// result; -1 when the template does not exist or no dialog can be made. The
// owner may be 0, a window of this process or any X window of the display (the
// dialog stays above it); an owner that does not exist or goes away while the
// dialog is open does not hinder the dialog. The procedure receives
// WM_INITDIALOG with lParam = param before the dialog is shown; a dialog that
// ends during WM_INITDIALOG is never shown.
intptr_t DialogBoxParam(uint32_t templateId, HWND owner, DLGPROC proc, LPARAM param);
intptr_t DialogBoxParam(const char* templateName, HWND owner, DLGPROC proc, LPARAM param);
intptr_t DialogBoxIndirectParam(const DialogTemplate& dialogTemplate, HWND owner, DLGPROC proc,
                                LPARAM param);

// Ends the dialog once its procedure returns; DialogBoxParam then returns result.
bool EndDialog(HWND dialog, intptr_t result);

// The control with that id, or 0.
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND control);

// The previous state: true when the window was disabled.
bool EnableWindow(HWND window, bool enable);
bool IsWindowEnabled(HWND window);

// Keyboard focus: returns the window that had it (0 for none).
HWND SetFocus(HWND window);
HWND GetFocus();

// Control texts are UTF-8. Text that is not valid UTF-8 is shown with
// replacement marks but read back byte for byte until the user edits it.
bool SetDlgItemText(HWND dialog, int id, const char* text);
bool SetWindowText(HWND window, const char* text);
// Copies at most size - 1 bytes, never half a UTF-8 character, always
// terminated; returns the bytes copied.
uint32_t GetDlgItemText(HWND dialog, int id, char* buffer, int size);
int GetWindowText(HWND window, char* buffer, int size);
int GetWindowTextLength(HWND window);
// The text as a decimal number (optional blanks round it, an optional sign).
// Unsigned, a minus sign gives the two's complement as the C library's strtoul
// does ("-5" reads as 4294967291, which a signed field stores back as -5).
// *translated is false, and the result 0, when the text is no number or does
// not fit in 32 bits.
uint32_t GetDlgItemInt(HWND dialog, int id, bool* translated, bool isSigned);
bool SetDlgItemInt(HWND dialog, int id, uint32_t value, bool isSigned);

LRESULT SendDlgItemMessage(HWND dialog, int id, uint32_t message, WPARAM wParam, LPARAM lParam);

// BM_SETCHECK and BM_GETCHECK by id.
bool CheckDlgButton(HWND dialog, int id, uint32_t check);
uint32_t IsDlgButtonChecked(HWND dialog, int id);

// Window data of a control or dialog. GWL_WNDPROC replaces the window
// procedure that sees the control's messages (WM_CHAR for every typed character,
// input-method text included; pasted text arrives as the WM_CHAR of the paste
// shortcut only) and returns the previous one, which CallWindowProc reaches for
// the control's own behaviour.
intptr_t SetWindowLong(HWND window, int index, intptr_t value);
intptr_t GetWindowLong(HWND window, int index);
LRESULT CallWindowProc(WNDPROC previous, HWND window, uint32_t message, WPARAM wParam,
                       LPARAM lParam);
