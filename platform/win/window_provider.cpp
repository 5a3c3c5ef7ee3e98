#include "platform/win/window_provider.h"

#include <atomic>

namespace {
std::atomic<WindowProvider*> provider{nullptr};
}  // namespace

void SetWindowProvider(WindowProvider* next) {
  provider.store(next);
}

WindowProvider* ProviderOf(HWND window) {
  WindowProvider* current = provider.load();
  return current && window != 0 && current->Owns(window) ? current : nullptr;
}
