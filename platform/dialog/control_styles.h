#pragma once
#include <cstdint>

#include "platform/win/styles.h"

// Style bits of dialogs and controls beyond those of platform/win/styles.h.

constexpr uint32_t WS_DISABLED = 0x08000000;
constexpr uint32_t WS_CAPTION = 0x00C00000;
constexpr uint32_t WS_BORDER = 0x00800000;
constexpr uint32_t WS_VSCROLL = 0x00200000;
constexpr uint32_t WS_HSCROLL = 0x00100000;
constexpr uint32_t WS_SYSMENU = 0x00080000;
constexpr uint32_t WS_GROUP = 0x00020000;
constexpr uint32_t WS_TABSTOP = 0x00010000;

constexpr uint32_t DS_SETFONT = 0x00000040;
constexpr uint32_t DS_MODALFRAME = 0x00000080;
constexpr uint32_t DS_CENTER = 0x00000800;

// BUTTON (the low four bits are the kind).
constexpr uint32_t BS_PUSHBUTTON = 0x0;
constexpr uint32_t BS_DEFPUSHBUTTON = 0x1;
constexpr uint32_t BS_CHECKBOX = 0x2;
constexpr uint32_t BS_AUTOCHECKBOX = 0x3;
constexpr uint32_t BS_RADIOBUTTON = 0x4;
constexpr uint32_t BS_GROUPBOX = 0x7;
constexpr uint32_t BS_AUTORADIOBUTTON = 0x9;
constexpr uint32_t BS_MULTILINE = 0x2000;

// STATIC (the low five bits are the kind).
constexpr uint32_t SS_LEFT = 0x0;
constexpr uint32_t SS_CENTER = 0x1;
constexpr uint32_t SS_RIGHT = 0x2;
constexpr uint32_t SS_ICON = 0x3;  // the caption is the icon resource's number in decimal
constexpr uint32_t SS_BLACKRECT = 0x4;
constexpr uint32_t SS_LEFTNOWORDWRAP = 0xC;

// EDIT
constexpr uint32_t ES_PASSWORD = 0x0020;
constexpr uint32_t ES_AUTOHSCROLL = 0x0080;  // without it, typing stops when the box is full
constexpr uint32_t ES_READONLY = 0x0800;

// COMBOBOX (the low two bits are the kind).
constexpr uint32_t CBS_SIMPLE = 0x1;
constexpr uint32_t CBS_DROPDOWN = 0x2;
constexpr uint32_t CBS_DROPDOWNLIST = 0x3;
constexpr uint32_t CBS_AUTOHSCROLL = 0x40;

// msctls_trackbar32
constexpr uint32_t TBS_AUTOTICKS = 0x1;
constexpr uint32_t TBS_VERT = 0x2;
constexpr uint32_t TBS_NOTICKS = 0x10;
