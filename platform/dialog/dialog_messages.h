#pragma once
#include <cstdint>

#include "platform/win/messages.h"

// Messages, notifications and constants of dialogs and their controls.

constexpr uint32_t WM_SETFOCUS = 0x0007;
constexpr uint32_t WM_KILLFOCUS = 0x0008;
constexpr uint32_t WM_ENABLE = 0x000A;
constexpr uint32_t WM_GETTEXT = 0x000D;
constexpr uint32_t WM_GETTEXTLENGTH = 0x000E;
constexpr uint32_t WM_NOTIFY = 0x004E;
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uint32_t WM_INITDIALOG = 0x0110;
constexpr uint32_t WM_COMMAND = 0x0111;
constexpr uint32_t WM_HSCROLL = 0x0114;
constexpr uint32_t WM_PASTE = 0x0302;

// The dialog manager sends WM_COMMAND with id 1 (IDOK of resources/control_ids.h)
// for Enter, or the id of the focused or default push button, and id 2
// (IDCANCEL) for Esc and the close box; MessageBox answers 1 and 2 for OK and
// Cancel too, and these for its other buttons.
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Notification codes (high word of WM_COMMAND's wParam; the low word is the
// control id and lParam the control's handle).
constexpr uint16_t BN_CLICKED = 0;
constexpr uint16_t EN_SETFOCUS = 0x0100;
constexpr uint16_t EN_KILLFOCUS = 0x0200;
constexpr uint16_t EN_CHANGE = 0x0300;
constexpr uint16_t CBN_SELCHANGE = 1;
constexpr uint16_t CBN_SETFOCUS = 3;
constexpr uint16_t CBN_KILLFOCUS = 4;
constexpr uint16_t CBN_EDITCHANGE = 5;

// Buttons.
constexpr uint32_t BM_GETCHECK = 0x00F0;
constexpr uint32_t BM_SETCHECK = 0x00F1;
constexpr uint32_t BM_CLICK = 0x00F5;
constexpr uint32_t BST_UNCHECKED = 0;
constexpr uint32_t BST_CHECKED = 1;

// Edit boxes.
constexpr uint32_t EM_LIMITTEXT = 0x00C5;

// Window data indexes.
constexpr int GWL_WNDPROC = -4;
constexpr int GWL_ID = -12;
constexpr int GWL_STYLE = -16;
constexpr int GWL_USERDATA = -21;
