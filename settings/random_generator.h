#pragma once
#include <cstdint>

// The one pseudo-random generator of the process. Every random choice (options,
// seeding, split parents) draws from it, and the order of draws is behaviour:
// with the same seed the saver repeats itself exactly.
void SeedRandom(uint32_t seed);

// A whole number from 0 to 32767.
int DrawRandom();
