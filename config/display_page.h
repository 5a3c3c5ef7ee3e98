#pragma once
#include <cstdint>

#include "platform/sys/types.h"

// The second page, "Direct3D": drivers, screen mode, colour depth, rendering
// style, the display object, its texture and its scale. Changes of object,
// texture, scale or style go to the Object preview when there is one.

inline constexpr uintptr_t kTexturePickTimerId = 2;
inline constexpr uint32_t kTexturePickMilliseconds = 100;

// Sets the page's controls from the working settings and fills both driver
// lists. Enabling is left to the page switch.
void LoadDisplayPage(HWND dialog);

// A command of the page; false for an id the page does not handle.
bool OnDisplayPageCommand(HWND dialog, int id, uint16_t notification);

// The colour depth can be chosen only for a full-screen mode.
void ApplyColourDepthEnabling(HWND dialog, bool windowed);

// On OK: the driver names, the file names and the scale into the working
// settings.
void ReadBackDisplayPage(HWND dialog);
