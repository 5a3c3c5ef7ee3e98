#pragma once
#include <cstdint>

// Milliseconds of a monotonic clock, wrapping at 2^32 as the system expects.
uint32_t GetTickCount();
