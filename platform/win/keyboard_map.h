#pragma once
#include <xcb/xcb.h>

#include <cstdint>

// The virtual-key code of an X key, as key messages carry it in wParam; 0 for a
// key the system has no code for.
uint32_t VirtualKeyFor(xcb_connection_t* connection, xcb_keycode_t keycode);
