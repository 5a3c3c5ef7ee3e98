#pragma once
#include <cstdint>

// A top-level window of the program's own for "-window": an ordinary window
// that the window manager decorates, moves and closes. It is made on an X
// connection of its own and names no WM_DELETE_WINDOW, so closing it makes the
// window manager cut that connection and the window goes; whatever draws into
// it as a child then ends as a preview ends when its parent goes.
// Returns the window's id, or 0 when no window could be made.
uint32_t CreateStandaloneFrame(const char* title, int width, int height);
