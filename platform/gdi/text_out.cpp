#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>
#include <cstdlib>

#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/text_application.h"
#include "platform/gdi/x_connection.h"

namespace {

QColor ToQColor(COLORREF c) {
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

QString Decode(const char* text, int length) {
  return QString::fromUtf8(text, length < 0 ? -1 : qsizetype(length));
}

SIZE Measure(const QString& text) {
  QFontMetrics metrics(GothicFont());
  return SIZE{metrics.horizontalAdvance(text), metrics.height()};
}

// The line as GDI draws it in opaque mode: its cell filled with the background
// colour, the glyphs in the text colour on the baseline.
void PaintLine(QPainter& painter, const QRect& cell, const QString& text, const DeviceContext& dc) {
  painter.fillRect(cell, ToQColor(dc.backgroundColor));
  painter.setFont(GothicFont());
  painter.setPen(ToQColor(dc.textColor));
  painter.drawText(cell.x(), cell.y() + QFontMetrics(GothicFont()).ascent(), text);
}

bool PutOnWindow(HWND window, int x, int y, const QImage& image) {
  xcb_connection_t* c = TextConnection();
  WindowFacts facts;
  if (!c || !QueryWindow(window, &facts)) return false;
  if (facts.bitsPerPixel != 32 || (facts.depth != 24 && facts.depth != 32)) return false;
  xcb_gcontext_t gc = xcb_generate_id(c);
  xcb_create_gc(c, gc, xcb_drawable_t(window), 0, nullptr);
  const uint32_t maxBytes = xcb_get_maximum_request_length(c) * 4 - 64;
  const int rowBytes = image.width() * 4;
  const int rowsPerRequest = std::max(1, int(maxBytes / uint32_t(rowBytes)));
  bool ok = true;
  for (int row = 0; row < image.height(); row += rowsPerRequest) {
    const int rows = std::min(rowsPerRequest, image.height() - row);
    xcb_void_cookie_t cookie = xcb_put_image_checked(
        c, XCB_IMAGE_FORMAT_Z_PIXMAP, xcb_drawable_t(window), gc, uint16_t(image.width()),
        uint16_t(rows), int16_t(x), int16_t(y + row), 0, uint8_t(facts.depth),
        uint32_t(rows * rowBytes), image.constScanLine(row));
    if (xcb_generic_error_t* error = xcb_request_check(c, cookie)) {
      std::free(error);
      ok = false;
      break;
    }
  }
  xcb_free_gc(c, gc);
  xcb_flush(c);
  return ok;
}

}  // namespace

COLORREF SetTextColor(HDC dc, COLORREF color) {
  if (!dc) return CLR_INVALID;
  COLORREF previous = dc->textColor;
  dc->textColor = color & 0xFFFFFF;
  return previous;
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
  if (!dc) return CLR_INVALID;
  COLORREF previous = dc->backgroundColor;
  dc->backgroundColor = color & 0xFFFFFF;
  return previous;
}

bool GetTextExtentPoint32A(HDC dc, const char* text, int length, SIZE* size) {
  if (!dc || !text || !size || length < 0 || !EnsureTextApplication()) return false;
  *size = Measure(Decode(text, length));
  return true;
}

bool TextOutA(HDC dc, int x, int y, const char* text, int length) {
  if (!dc || !text || length < 0 || !EnsureTextApplication()) return false;
  const QString line = Decode(text, length);
  const SIZE extent = Measure(line);
  if (extent.cx <= 0 || extent.cy <= 0) return true;
  if (dc->kind == DeviceContext::Kind::Bitmap) {
    QPainter painter(&dc->bitmap);
    PaintLine(painter, QRect(x, y, extent.cx, extent.cy), line, *dc);
    return true;
  }
  QImage image(extent.cx, extent.cy, QImage::Format_RGB32);
  {
    QPainter painter(&image);
    PaintLine(painter, image.rect(), line, *dc);
  }
  return PutOnWindow(dc->window, x, y, image);
}
