#include "platform/ddraw/direct_draw_palette.h"

#include <algorithm>

DirectDrawPalette::DirectDrawPalette(const PALETTEENTRY* entries) {
  if (entries) std::copy_n(entries, 256, entries_.begin());
}

bool DirectDrawPalette::GetEntries(uint32_t start, uint32_t count, PALETTEENTRY* entries) const {
  if (!entries || start > 256 || count > 256 - start) return false;
  std::copy_n(entries_.begin() + start, count, entries);
  return true;
}

bool DirectDrawPalette::SetEntries(uint32_t start, uint32_t count, const PALETTEENTRY* entries) {
  if (!entries || start > 256 || count > 256 - start) return false;
  std::copy_n(entries, count, entries_.begin() + start);
  version_.fetch_add(1);
  return true;
}
