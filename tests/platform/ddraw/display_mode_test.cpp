#include "ddraw_fixture.h"
#include "platform/gdi/gdi.h"

namespace {

// A grey ramp keeps every level at 24 and 32 bits; 16 bits show RGB565 steps (five bits of
// red, six of green, nearly all reached); 8 bits only the system palette's colours, the greys
// of the cube and the ramp.
TEST(DisplayModeLook, AGreyRampShowsTheLevelsOfEachDepth) {
  PALETTEENTRY entries[256];
  ASSERT_EQ(GetSystemPaletteEntries(nullptr, 0, 256, entries), 256u);
  std::set<uint32_t> palette;
  for (const PALETTEENTRY& e : entries)
    palette.insert((uint32_t(e.peRed) << 16) | (uint32_t(e.peGreen) << 8) | e.peBlue);
  struct Case {
    uint32_t bits;
    size_t fewestColours, mostColours, fewestReds, mostReds;
  };
  for (const Case& c : {Case{32, 256, 256, 256, 256}, Case{24, 256, 256, 256, 256},
                        Case{16, 60, 64, 30, 32}, Case{8, 11, 39, 0, 256}}) {
    SCOPED_TRACE(c.bits);
    FlipChain chain(1024, 768, 1024, 768, c.bits);
    ASSERT_TRUE(chain.Ok() && PaintGreyRamp(chain.back.Get()));
    const std::set<uint32_t> colours = ColoursOfRow(chain.Show(), 384);
    std::set<uint32_t> reds;
    for (uint32_t colour : colours) {
      reds.insert(colour >> 16);
      if (c.bits == 8) {
        EXPECT_TRUE(palette.count(colour)) << std::hex << colour;
      }
    }
    EXPECT_GE(colours.size(), c.fewestColours);
    EXPECT_LE(colours.size(), c.mostColours);
    EXPECT_GE(reds.size(), c.fewestReds);
    EXPECT_LE(reds.size(), c.mostReds);
  }
}

TEST(DisplayModeLook, EightBitsFollowTheSurfacePalette) {
  FlipChain chain(640, 480, 640, 480, 8);
  ASSERT_TRUE(chain.Ok());
  PALETTEENTRY entries[256];
  for (PALETTEENTRY& e : entries) e = {0, 0, 255, 0};  // every colour shows as blue
  Ref<DirectDrawPalette> palette;
  ASSERT_TRUE(chain.dd->CreatePalette(DDPCAPS_8BIT | DDPCAPS_INITIALIZE, entries, &palette));
  chain.back->SetPalette(palette.Get());
  ASSERT_TRUE(PaintGreyRamp(chain.back.Get()));
  EXPECT_EQ(ColoursOfRow(chain.Show(), 240), std::set<uint32_t>{0x0000FF});
}

}  // namespace
