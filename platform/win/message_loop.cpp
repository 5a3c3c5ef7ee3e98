#include "platform/win/message_loop.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <algorithm>

#include "platform/win/message_filter.h"
#include "platform/win/timer.h"
#include "platform/win/window_internal.h"
#include "platform/win/window_provider.h"
#include "platform/win/window_state.h"

namespace {

using Lock = std::unique_lock<std::mutex>;

// Sent calls from other threads and windows lost with their parent come before
// anything queued, as sent messages do. Returns true when it did something (the
// lock was let go meanwhile, so the caller looks again).
bool RunPendingWork(WindowState& state, Lock& lock) {
  if (!state.lost.empty()) {
    HWND window = state.lost.front();
    state.lost.erase(state.lost.begin());
    lock.unlock();
    FinishLostWindow(window);
    lock.lock();
    return true;
  }
  if (!state.sent.empty()) {
    SentCall* call = state.sent.front();
    state.sent.pop_front();
    lock.unlock();
    const MSG& m = call->message;
    LRESULT result = CallWindowProcedure(m.hwnd, m.message, m.wParam, m.lParam);
    lock.lock();
    call->result = result;
    call->done = true;
    state.changed.notify_all();
    return true;
  }
  return false;
}

std::optional<MSG> TakePaintLocked(WindowState& state, HWND window, uint32_t filterMin,
                                   uint32_t filterMax) {
  for (auto& [id, record] : state.windows) {
    MSG message{id, WM_PAINT, 0, 0, MessageTime(), {}};
    if (record.needsPaint && !record.destroying &&
        MatchesFilter(message, window, filterMin, filterMax))
      return message;
  }
  return std::nullopt;
}

// Posted messages first, then the quit request, then painting and timers, the
// order in which the system's queue gives them.
bool TakeMessageLocked(WindowState& state, MSG* out, HWND window, uint32_t filterMin,
                       uint32_t filterMax, bool remove) {
  auto posted = std::find_if(state.posted.begin(), state.posted.end(), [&](const MSG& m) {
    return MatchesFilter(m, window, filterMin, filterMax);
  });
  if (posted != state.posted.end()) {
    *out = *posted;
    if (remove) state.posted.erase(posted);
    return true;
  }
  if (state.quitPosted) {
    *out = MSG{0, WM_QUIT, static_cast<WPARAM>(state.quitCode), 0, MessageTime(), {}};
    if (remove) state.quitPosted = false;
    return true;
  }
  if (auto paint = TakePaintLocked(state, window, filterMin, filterMax)) {
    *out = *paint;
    return true;
  }
  if (auto timer = TakeDueTimerLocked(state, window, filterMin, filterMax, remove)) {
    *out = *timer;
    return true;
  }
  return false;
}

bool OnQtThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return app && app->thread() == QThread::currentThread();
}

// Sleeps until something is posted, an X event arrives, a timer is due, or (on
// the application's thread) Qt has events of its own to handle.
void WaitForWork(WindowState& state, Lock& lock) {
  state.idle = true;
  state.changed.notify_all();
  auto due = NextTimerDueLocked(state);
  if (OnQtThread()) {
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    state.sleepingDispatcher = dispatcher;
    lock.unlock();
    QTimer wakeAtDue;
    if (due) {
      auto wait = std::chrono::ceil<std::chrono::milliseconds>(
          due->time_since_epoch() - std::chrono::steady_clock::now().time_since_epoch());
      wakeAtDue.setSingleShot(true);
      wakeAtDue.start(std::max<int>(0, static_cast<int>(wait.count())));
    }
    dispatcher->processEvents(QEventLoop::WaitForMoreEvents);
    lock.lock();
    state.sleepingDispatcher = nullptr;
  } else if (due) {
    state.changed.wait_until(lock, *due);
  } else {
    state.changed.wait(lock);
  }
  state.idle = false;
}

}  // namespace

bool PostMessage(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
  if (WindowProvider* provider = ProviderOf(window))
    return provider->Post(window, message, wParam, lParam);
  WindowState& state = State();
  std::lock_guard lock(state.mutex);
  if (window != 0 && !state.Find(window)) return false;
  state.posted.push_back(MSG{window, message, wParam, lParam, MessageTime(), {}});
  state.WakeLocked();
  return true;
}

LRESULT SendMessage(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
  if (WindowProvider* provider = ProviderOf(window))
    return provider->Send(window, message, wParam, lParam);
  WindowState& state = State();
  Lock lock(state.mutex);
  if (!state.Find(window)) return 0;
  if (state.IsWindowThreadLocked()) {
    lock.unlock();
    return CallWindowProcedure(window, message, wParam, lParam);
  }
  SentCall call{MSG{window, message, wParam, lParam, MessageTime(), {}}};
  state.sent.push_back(&call);
  state.WakeLocked();
  state.changed.wait(lock, [&] { return call.done; });
  return call.result;
}

void PostQuitMessage(int exitCode) {
  WindowState& state = State();
  std::lock_guard lock(state.mutex);
  state.quitPosted = true;
  state.quitCode = exitCode;
  state.WakeLocked();
}

int GetMessage(MSG* message, HWND window, uint32_t filterMin, uint32_t filterMax) {
  if (!message) return -1;
  WindowState& state = State();
  Lock lock(state.mutex);
  if (!state.IsWindowThreadLocked()) return -1;
  for (;;) {
    if (RunPendingWork(state, lock)) continue;
    if (TakeMessageLocked(state, message, window, filterMin, filterMax, true))
      return message->message == WM_QUIT ? 0 : 1;
    WaitForWork(state, lock);
  }
}

bool PeekMessage(MSG* message, HWND window, uint32_t filterMin, uint32_t filterMax,
                 uint32_t flags) {
  if (!message) return false;
  WindowState& state = State();
  Lock lock(state.mutex);
  if (!state.IsWindowThreadLocked()) return false;
  while (RunPendingWork(state, lock)) {
  }
  return TakeMessageLocked(state, message, window, filterMin, filterMax, (flags & PM_REMOVE) != 0);
}

bool TranslateMessage(const MSG*) {
  return false;
}

LRESULT DispatchMessage(const MSG* message) {
  if (!message) return 0;
  if (message->message == WM_TIMER && message->lParam != 0) {
    reinterpret_cast<TIMERPROC>(message->lParam)(message->hwnd, WM_TIMER, message->wParam,
                                                 message->time);
    return 0;
  }
  if (message->hwnd == 0) return 0;
  return CallWindowProcedure(message->hwnd, message->message, message->wParam, message->lParam);
}

bool AnswerInputDuringWork() {
  WindowState& state = State();
  Lock lock(state.mutex);
  if (!state.hasWindowThread || state.windowThread != std::this_thread::get_id()) return false;
  auto isInput = [](const MSG& m) { return m.message >= WM_KEYDOWN && m.message <= WM_MBUTTONUP; };
  for (auto input = std::find_if(state.posted.begin(), state.posted.end(), isInput);
       input != state.posted.end();
       input = std::find_if(state.posted.begin(), state.posted.end(), isInput)) {
    const MSG m = *input;
    state.posted.erase(input);
    lock.unlock();
    CallWindowProcedure(m.hwnd, m.message, m.wParam, m.lParam);
    lock.lock();
  }
  const bool closeAsked = std::any_of(state.posted.begin(), state.posted.end(), [](const MSG& m) {
    return m.message == WM_CLOSE || m.message == WM_DESTROY;
  });
  return closeAsked || state.quitPosted || !state.lost.empty();
}

bool WaitForInputIdle(uint32_t timeoutMs) {
  WindowState& state = State();
  Lock lock(state.mutex);
  return state.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                [&] { return state.idle; });
}

uint32_t RegisterWindowMessage(const char* name) {
  if (!name || !*name) return 0;
  WindowState& state = State();
  std::lock_guard lock(state.mutex);
  auto [entry, added] = state.registeredMessages.try_emplace(
      name, static_cast<uint32_t>(0xC000 + state.registeredMessages.size()));
  return entry->second;
}
