#pragma once
#include <cstdint>

// The running program's path. Copies at most size - 1 bytes, never half a
// UTF-8 character, always terminated; returns the bytes copied (0 on failure).
uint32_t GetModuleFileNameA(char* buffer, uint32_t size);
