#include "platform/rm/visual.h"

#include <atomic>

namespace {
std::atomic<uint64_t> next_visual_id{1};
}

RMVisual::RMVisual() : id_(next_visual_id.fetch_add(1)) {}
