#pragma once

// A second client of the X server, standing for another program (kept apart
// from the Qt headers, whose names Xlib's macros would spoil).
unsigned long CreateForeignWindow();
void DestroyForeignWindow(unsigned long window);
