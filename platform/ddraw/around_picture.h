#pragma once

#include "platform/sys/types.h"

// Calls `paint` for up to four rectangles: the part of a width × height window
// that lies outside `picture`, so that presenters can clear the bars beside a
// picture whose aspect differs from the window's.
template <typename Paint>
void AroundPicture(int width, int height, const RECT& picture, Paint paint) {
  if (picture.top > 0) paint(RECT{0, 0, width, picture.top});
  if (picture.bottom < height) paint(RECT{0, picture.bottom, width, height});
  if (picture.left > 0) paint(RECT{0, picture.top, picture.left, picture.bottom});
  if (picture.right < width) paint(RECT{picture.right, picture.top, width, picture.bottom});
}
