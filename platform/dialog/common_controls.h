#pragma once
#include <cstdint>

#include "platform/dialog/dialog_messages.h"
#include "platform/win/win_types.h"

// Trackbars (msctls_trackbar32), tab controls (SysTabControl32) and combo boxes.

// The common controls need no set-up here; kept for the code that asks for it.
void InitCommonControls();

// WM_NOTIFY's lParam points at this header.
struct NMHDR {
  HWND hwndFrom = 0;
  uintptr_t idFrom = 0;
  uint32_t code = 0;
};

// Tab control: a click on another tab sends WM_NOTIFY TCN_SELCHANGE to the
// dialog after the selection has changed (TCM_SETCURSEL sends nothing).
constexpr uint32_t TCN_SELCHANGE = static_cast<uint32_t>(-551);
constexpr uint32_t TCN_SELCHANGING = static_cast<uint32_t>(-552);
constexpr uint32_t TCM_GETITEMCOUNT = 0x1304;
constexpr uint32_t TCM_INSERTITEMA = 0x1307;  // wParam index, lParam const TCITEMA*; new index or -1
constexpr uint32_t TCM_GETCURSEL = 0x130B;    // selection or -1
constexpr uint32_t TCM_SETCURSEL = 0x130C;    // wParam index; previous selection or -1
constexpr uint32_t TCIF_TEXT = 0x0001;

struct TCITEMA {
  uint32_t mask = 0;
  uint32_t dwState = 0;
  uint32_t dwStateMask = 0;
  const char* pszText = nullptr;  // UTF-8
  int cchTextMax = 0;
  int iImage = -1;
  LPARAM lParam = 0;
};

// Trackbar: horizontal, with one tick per value when the template asks for
// automatic ticks. TBM_SETRANGE: lParam MAKELPARAM(min, max), wParam redraw.
// The position is kept inside the range.
constexpr uint32_t TBM_GETPOS = 0x0400;
constexpr uint32_t TBM_GETRANGEMIN = 0x0401;
constexpr uint32_t TBM_GETRANGEMAX = 0x0402;
constexpr uint32_t TBM_SETPOS = 0x0405;  // wParam redraw, lParam position
constexpr uint32_t TBM_SETRANGE = 0x0406;
constexpr uint32_t TBM_GETNUMTICS = 0x0410;
constexpr uint32_t TBM_SETPAGESIZE = 0x0415;  // lParam page size; returns the previous one
constexpr uint32_t TBM_GETPAGESIZE = 0x0416;

// Combo boxes: a drop-down list (CBS_DROPDOWNLIST) or a list with an edit field
// (CBS_DROPDOWN). Strings are UTF-8. Entries keep the order they are added in.
constexpr uint32_t CB_GETEDITSEL = 0x0140;
constexpr uint32_t CB_ADDSTRING = 0x0143;     // lParam text; new index
constexpr uint32_t CB_DELETESTRING = 0x0144;  // wParam index; entries left
constexpr uint32_t CB_GETCOUNT = 0x0146;
constexpr uint32_t CB_GETCURSEL = 0x0147;     // selection or CB_ERR
constexpr uint32_t CB_GETLBTEXT = 0x0148;     // wParam index, lParam buffer; bytes copied
constexpr uint32_t CB_GETLBTEXTLEN = 0x0149;
constexpr uint32_t CB_INSERTSTRING = 0x014A;  // wParam index (-1: at the end), lParam text
constexpr uint32_t CB_RESETCONTENT = 0x014B;
constexpr uint32_t CB_FINDSTRING = 0x014C;    // wParam start (-1: from the top), lParam prefix
// Selects the first entry after wParam (-1: from the top, wrapping round) that
// begins with the text of lParam, ignoring case; returns its index, or CB_ERR
// and leaves the selection alone when none matches. Sends no notification.
constexpr uint32_t CB_SELECTSTRING = 0x014D;
constexpr uint32_t CB_SETCURSEL = 0x014E;     // wParam index (-1: none); index or CB_ERR
constexpr LRESULT CB_ERR = -1;
