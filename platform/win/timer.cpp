#include "platform/win/timer.h"

#include <algorithm>

#include "platform/win/message_filter.h"
#include "platform/win/message_loop.h"
#include "platform/win/window_provider.h"

namespace {

// Shorter intervals would only keep the window thread from sleeping.
constexpr std::chrono::milliseconds kShortestInterval{10};
uintptr_t nextThreadTimerId = 1;

}  // namespace

uintptr_t SetTimer(HWND window, uintptr_t id, uint32_t elapseMs, TIMERPROC proc) {
  if (WindowProvider* provider = ProviderOf(window))
    return provider->SetTimer(window, id, elapseMs, proc);
  WindowState& state = State();
  std::lock_guard lock(state.mutex);
  if (window != 0 && !state.Find(window)) return 0;
  if (window == 0 && id == 0) id = nextThreadTimerId++;
  auto interval = std::max(kShortestInterval, std::chrono::milliseconds(elapseMs));
  std::erase_if(state.timers,
                [&](const WindowTimer& t) { return t.window == window && t.id == id; });
  state.timers.push_back({window, id, proc, interval, std::chrono::steady_clock::now() + interval});
  state.WakeLocked();
  return id == 0 ? 1 : id;
}

bool KillTimer(HWND window, uintptr_t id) {
  if (WindowProvider* provider = ProviderOf(window)) return provider->KillTimer(window, id);
  WindowState& state = State();
  std::lock_guard lock(state.mutex);
  return std::erase_if(state.timers,
                       [&](const WindowTimer& t) { return t.window == window && t.id == id; }) > 0;
}

std::optional<MSG> TakeDueTimerLocked(WindowState& state, HWND window, uint32_t filterMin,
                                      uint32_t filterMax, bool remove) {
  auto now = std::chrono::steady_clock::now();
  for (WindowTimer& timer : state.timers) {
    MSG message{timer.window, WM_TIMER, timer.id, reinterpret_cast<LPARAM>(timer.proc),
                MessageTime(), {}};
    if (timer.due > now || !MatchesFilter(message, window, filterMin, filterMax)) continue;
    // A timer that fell behind fires once, not once for every missed period.
    if (remove) timer.due = now + timer.interval;
    return message;
  }
  return std::nullopt;
}

std::optional<std::chrono::steady_clock::time_point> NextTimerDueLocked(const WindowState& state) {
  std::optional<std::chrono::steady_clock::time_point> next;
  for (const WindowTimer& timer : state.timers)
    if (!next || timer.due < *next) next = timer.due;
  return next;
}

void KillWindowTimersLocked(WindowState& state, HWND window) {
  if (window == 0) return;
  std::erase_if(state.timers, [&](const WindowTimer& t) { return t.window == window; });
}
