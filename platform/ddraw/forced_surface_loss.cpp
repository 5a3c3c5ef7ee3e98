#include "platform/ddraw/forced_surface_loss.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "platform/ddraw/direct_draw.h"

namespace {

long PresentationsBeforeLoss() {
  static const long limit = [] {
    const char* value = std::getenv("QUELLAR_LOSE_SURFACES_AFTER_FRAMES");
    return value != nullptr ? std::strtol(value, nullptr, 10) : 0L;
  }();
  return limit;
}

std::atomic<long> presentations{0};

}  // namespace

void CountPresentationForForcedLoss(DirectDraw* owner) {
  const long limit = PresentationsBeforeLoss();
  if (limit <= 0 || owner == nullptr) return;
  if (presentations.fetch_add(1) + 1 != limit) return;
  std::fprintf(stderr, "quellar: surfaces lost on purpose after %ld presentations\n", limit);
  owner->FailRestoreForTesting(true);
  owner->LoseSurfacesForTesting();
}
