#pragma once
#include <cstdint>

#include "platform/win/messages.h"
#include "platform/win/styles.h"
#include "platform/win/win_types.h"

// Windows are native X windows; a handle is the window's X id, so handles of other
// programs (a preview's parent, the first saver found by a second one) work too.
// Every call here is safe from any thread and answers false, 0 or an empty
// rectangle for a handle that is 0 or names no window.

// Classes live for the whole process; registering a name twice fails.
bool RegisterClass(const WNDCLASS& windowClass);

// WS_POPUP without a parent: a top-level window that bypasses the window manager;
// with WS_EX_TOPMOST it stays above everything, hides the pointer and takes the
// keyboard and pointer grabs while it is shown (they end with the window).
// WS_CHILD with a parent: a window inside the parent (any program's window) that
// never grabs and never takes the focus; it learns when that parent goes away
// and is then destroyed (WM_DESTROY) the ordinary way.
// WM_CREATE is sent before the call returns; a result of -1 there fails the call.
// The window belongs to the calling thread, whose message loop serves it.
HWND CreateWindowEx(uint32_t exStyle, const char* className, const char* title, uint32_t style,
                    int x, int y, int width, int height, HWND parent);
bool DestroyWindow(HWND window);
LRESULT DefWindowProc(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);

bool IsWindow(HWND window);
bool IsWindowVisible(HWND window);
// The previous visibility, as the system expects.
bool ShowWindow(HWND window, int command);
// The window's parent or owner; 0 for a top-level window.
HWND GetParent(HWND window);
// GW_HWNDNEXT: the next window below in the Z order among top-level windows
// (the desktop's stacking list where a window manager keeps one).
HWND GetWindow(HWND window, uint32_t relation);
// Searches this process's windows first, then every top-level window of the
// display by its class (WM_CLASS) and title (WM_NAME). A null argument matches any.
HWND FindWindow(const char* className, const char* title);

// The active window where a window manager runs, else the window with the input
// focus; 0 when no window has it.
HWND GetForegroundWindow();
bool SetForegroundWindow(HWND window);

// Screen coordinates.
bool GetWindowRect(HWND window, RECT* rect);
// (0, 0, width, height).
bool GetClientRect(HWND window, RECT* rect);
bool ClientToScreen(HWND window, POINT* point);
// x and y are relative to the parent of a child window and to the screen otherwise.
bool SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height,
                  uint32_t flags);
// The whole screen in device pixels, from (0, 0): what the screen's device
// context clips to.
bool GetScreenClipBox(RECT* rect);

// Only validates: drawing goes through the text and display libraries.
bool BeginPaint(HWND window, PAINTSTRUCT* paint);
void EndPaint(HWND window, const PAINTSTRUCT* paint);
