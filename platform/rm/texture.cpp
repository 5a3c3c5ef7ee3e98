#include "platform/rm/texture.h"

#include <QImage>
#include <algorithm>
#include <atomic>

namespace {
std::atomic<uint64_t> next_texture_id{1};
}

RMTexture::RMTexture(int width, int height, std::vector<uint8_t> rgba)
    : width_(width), height_(height), rgba_(std::move(rgba)), id_(next_texture_id.fetch_add(1)) {}

Ref<RMTexture> RMTexture::FromFile(const std::string& path) {
  QImage image;
  if (path.empty() || !image.load(QString::fromStdString(path))) return nullptr;
  if (image.isNull() || image.width() <= 0 || image.height() <= 0) return nullptr;
  // Any size must work, but no GL takes a texture beyond a few thousand texels.
  constexpr int kLargest = 4096;
  if (image.width() > kLargest || image.height() > kLargest)
    image = image.scaled(std::min(image.width(), kLargest), std::min(image.height(), kLargest),
                         Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  // QImage's first scan line is the top row, which is where v = 0 belongs.
  const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
  const size_t row = static_cast<size_t>(rgba.width()) * 4;
  std::vector<uint8_t> pixels(row * rgba.height());
  for (int y = 0; y < rgba.height(); ++y)
    std::copy_n(rgba.constScanLine(y), row, pixels.begin() + y * row);
  return MakeRef<RMTexture>(rgba.width(), rgba.height(), std::move(pixels));
}

uint32_t RMTexture::PixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const uint8_t* p = &rgba_[(static_cast<size_t>(y) * width_ + x) * 4];
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
