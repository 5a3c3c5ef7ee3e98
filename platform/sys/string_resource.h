#pragma once
#include <cstdint>

// Copies string `id` of the program's string table into the buffer, at most
// size - 1 bytes and never half a UTF-8 character, always terminated. Returns
// the bytes copied; 0 (and an empty buffer) when the table has no such string.
int LoadStringA(uint32_t id, char* buffer, int size);
