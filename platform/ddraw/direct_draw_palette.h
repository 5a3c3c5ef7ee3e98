#pragma once
#include <array>
#include <atomic>
#include <cstdint>

#include "platform/gdi/gdi.h"
#include "platform/ref.h"

// 256 colours that an 8-bit surface shows its pixels in.
class DirectDrawPalette : public RefCounted {
 public:
  explicit DirectDrawPalette(const PALETTEENTRY* entries);

  bool GetEntries(uint32_t start, uint32_t count, PALETTEENTRY* entries) const;
  bool SetEntries(uint32_t start, uint32_t count, const PALETTEENTRY* entries);
  const std::array<PALETTEENTRY, 256>& Entries() const { return entries_; }
  // Grows with every change, so a presenter knows when to rebuild its lookup.
  uint32_t Version() const { return version_.load(); }

 private:
  std::array<PALETTEENTRY, 256> entries_{};
  std::atomic<uint32_t> version_{1};
};
