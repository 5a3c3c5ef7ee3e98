#pragma once
#include <cstddef>

// The object file that sits beside the program: its path with the file name's
// extension replaced by "X", or ".X" added when the name has none. Either slash
// (forward or backward) separates folders, so a path written on the other system
// works too. The result fits `size` bytes and never ends in half a UTF-8 character.
void DeriveXFileName(const char* programPath, char* out, size_t size);

// The object a run uses when the settings name none: the file beside the
// program (DeriveXFileName) when it exists, as in the build tree; otherwise
// share/quellar/quellar.X of the installation the program belongs to
// (<prefix>/bin/quellar -> <prefix>/share/quellar/quellar.X) when that exists;
// otherwise the file beside the program, which then names the missing file.
void DefaultXFileName(const char* programPath, char* out, size_t size);
