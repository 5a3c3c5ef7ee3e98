#include "resources/program_icon.h"

#include "resources/control_ids.h"

namespace {

constexpr IconPaletteEntry kPalette[] = {
    {'#', 0xFF10182C}, {'+', 0xFF1C2A48},  // board and its grid
    {'a', 0xFF0C503C}, {'b', 0xFF18885C}, {'c', 0xFF3CC078},
    {'d', 0xFF9CF0B4}, {'e', 0xFFF0FFF0},  // cells, shadow to highlight
};

constexpr const char* kRows[] = {
    "...##########################...",
    ".##############################.",
    ".#+++++++++++++++++++++++++++++.",
    "##+######+######+######+######+#",
    "##+######+######+######+######+#",
    "##+######+######+######+######+#",
    "##+######+######+######+######+#",
    "##+######+######+######+######+#",
    "##+######+######+######+######+#",
    "##+++++++++++++++++++++++++++++#",
    "##+######+#dccb#+######+######+#",
    "##+######+ddccbb+######+######+#",
    "##+######+ccdcbb+######+######+#",
    "##+######+ccccba+######+######+#",
    "##+######+bbbbaa+######+######+#",
    "##+######+#bbaa#+######+######+#",
    "##+++++++++++++++++++++++++++++#",
    "##+######+######+#dccb#+######+#",
    "##+######+######+ddccbb+######+#",
    "##+######+######+ccdcbb+######+#",
    "##+######+######+ccccba+######+#",
    "##+######+######+bbbbaa+######+#",
    "##+######+######+#bbaa#+######+#",
    "##+++++++++++++++++++++++++++++#",
    "##+#dccb#+#dccb#+#dccb#+######+#",
    "##+ddccbb+ddccbb+ddccbbdcb####+#",
    "##+ccdcbb+ccdcbb+ccdcbbdcb####+#",
    "##+ccccba+ccccba+ccccbaccb####+#",
    "##+bbbbaa+bbbbaa+bbbbaabaa####+#",
    ".#+#bbaa#+#bbaa#+#bbaa#+######+.",
    ".#+++++++++++++++++++++++++++++.",
    "...##########################...",
};

constexpr IconImage kProgramIcon{IDI_PROGRAM, 32, 32, kPalette, kRows};

}  // namespace

const IconImage* FindIconResource(uint32_t id) {
  return id == IDI_PROGRAM ? &kProgramIcon : nullptr;
}

uint32_t IconPixel(const IconImage& icon, int x, int y) {
  if (x < 0 || y < 0 || x >= icon.width || y >= icon.height) return 0;
  const char letter = icon.rows[y][x];
  for (const IconPaletteEntry& entry : icon.palette) {
    if (entry.letter == letter) return entry.argb;
  }
  return 0;
}
