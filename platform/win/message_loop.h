#pragma once
#include <cstdint>

#include "platform/win/messages.h"
#include "platform/win/win_types.h"

// One message queue per process, served by the thread that runs GetMessage (the
// window thread). PostMessage works from any thread and never blocks; input,
// timers, painting and window changes arrive through the same queue. While
// GetMessage waits it also runs the Qt event loop of the application object
// (see application.h), so Qt objects on that thread keep working.

// False for a window that is not one of this process's windows. A window of 0
// posts to the queue itself (GetMessage returns it with hwnd 0).
bool PostMessage(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);
// Calls the window's procedure on the window thread and returns its result; from
// another thread it waits until the window thread has handled it. 0 for a window
// of another process.
LRESULT SendMessage(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

// Blocks until a message for the window (0: any) within [filterMin, filterMax]
// (0, 0: any) is there. Returns 1 with a message, 0 with WM_QUIT (wParam holds
// the exit code), -1 when the caller is not the window thread.
int GetMessage(MSG* message, HWND window, uint32_t filterMin, uint32_t filterMax);
bool PeekMessage(MSG* message, HWND window, uint32_t filterMin, uint32_t filterMax, uint32_t flags);
// No character messages are made here; key messages arrive as they are.
bool TranslateMessage(const MSG* message);
LRESULT DispatchMessage(const MSG* message);

// Returns true once the window thread waits in GetMessage with nothing to do,
// false when the time ran out first.
bool WaitForInputIdle(uint32_t timeoutMs);

// For long work on the window thread (reading a big model): runs the posted
// key and mouse messages through their windows' procedures, so that the input
// rules can ask for an end, and returns true once an end is asked for (WM_CLOSE
// or WM_QUIT waiting, or a window lost with its parent). Nothing else is taken
// from the queue. False on any other thread.
bool AnswerInputDuringWork();

// The same name gives the same number, from 0xC000 up; 0 for an empty name.
uint32_t RegisterWindowMessage(const char* name);

// WM_TIMER with the id as wParam, at most one pending per timer, made when the
// queue has nothing else. A second SetTimer with the same id restarts it. With a
// procedure, the message carries it in lParam and DispatchMessage calls it
// instead of the window procedure.
uintptr_t SetTimer(HWND window, uintptr_t id, uint32_t elapseMs, TIMERPROC proc = nullptr);
bool KillTimer(HWND window, uintptr_t id);
