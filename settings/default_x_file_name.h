#pragma once
#include <cstddef>

// The object file that sits beside the program: its path with the file name's
// extension replaced by "X", or ".X" added when the name has none. Either slash
// (forward or backward) separates folders, so a path written on the other system
// works too. The result fits `size` bytes and never ends in half a UTF-8 character.
void DeriveXFileName(const char* programPath, char* out, size_t size);
