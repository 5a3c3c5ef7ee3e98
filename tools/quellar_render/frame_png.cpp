#include "quellar_render/frame_png.h"

#include <QImage>

#include "life/world.h"
#include "platform/ddraw/direct_draw_surface.h"
#include "platform/ddraw/surface_image.h"

bool WritePresentedFrame(World& world, const std::string& path) {
  SurfaceImage image;
  if (!world.graphics.primary || !world.graphics.primary->ReadBack(&image)) return false;
  if (image.width <= 0 || image.height <= 0) return false;
  const QImage picture(image.rgba.data(), image.width, image.height, image.width * 4,
                       QImage::Format_RGBA8888);
  // The picture is opaque whatever the surface left in its alpha bytes.
  return picture.convertToFormat(QImage::Format_RGB32).save(QString::fromStdString(path), "PNG");
}
