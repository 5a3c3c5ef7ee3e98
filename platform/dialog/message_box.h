#pragma once
#include <cstdint>

#include "platform/sys/types.h"

// A modal message box above the owner (0, a window of this process or any X
// window). Returns the button pressed (IDOK, IDCANCEL, IDYES, IDNO ...), 0 when
// no box can be shown. Text and caption are UTF-8.
int MessageBox(HWND owner, const char* text, const char* caption, uint32_t type);

constexpr uint32_t MB_OK = 0x00000000;
constexpr uint32_t MB_OKCANCEL = 0x00000001;
constexpr uint32_t MB_YESNOCANCEL = 0x00000003;
constexpr uint32_t MB_YESNO = 0x00000004;
constexpr uint32_t MB_ICONERROR = 0x00000010;
constexpr uint32_t MB_ICONQUESTION = 0x00000020;
constexpr uint32_t MB_ICONWARNING = 0x00000030;
constexpr uint32_t MB_ICONINFORMATION = 0x00000040;
