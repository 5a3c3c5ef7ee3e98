#include "platform/rm/texture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <algorithm>
#include <atomic>

namespace {
std::atomic<uint64_t> next_texture_id{1};

// No GL takes a texture beyond a few thousand texels; larger images are
// scaled down to this on each side.
constexpr int kLargest = 4096;
// The largest image read at all, on either side.
constexpr int kLargestSource = 16384;
// A format that cannot scale while it decodes needs the whole image in memory
// first: 16384 × 16384 at 4 bytes a pixel, in megabytes.
constexpr int kDecodeLimitMb = 1024;

// Opened without blocking (a FIFO would hold the saver) and read only when it
// is a regular file.
bool OpenRegularFile(const std::string& path, QFile* file) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return false;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      !file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    close(fd);
    return false;
  }
  return true;
}

QImage Decode(const std::string& path) {
  QFile file;
  if (path.empty() || !OpenRegularFile(path, &file)) return {};
  QImageReader reader(&file, QFileInfo(QString::fromStdString(path)).suffix().toLatin1());
  const QSize size = reader.size();
  if (size.isValid() && (size.width() > kLargestSource || size.height() > kLargestSource)) return {};
  const QSize fitted(std::min(size.width(), kLargest), std::min(size.height(), kLargest));
  if (size.isValid() && fitted != size) {
    if (reader.supportsOption(QImageIOHandler::ScaledSize))
      reader.setScaledSize(fitted);
    else
      reader.setAllocationLimit(kDecodeLimitMb);
  }
  QImage image = reader.read();
  if (image.isNull() || image.width() <= 0 || image.height() <= 0) return {};
  if (image.width() > kLargest || image.height() > kLargest)
    image = image.scaled(std::min(image.width(), kLargest), std::min(image.height(), kLargest),
                         Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return image;
}

}  // namespace

RMTexture::RMTexture(int width, int height, std::vector<uint8_t> rgba)
    : width_(width), height_(height), rgba_(std::move(rgba)), id_(next_texture_id.fetch_add(1)) {}

Ref<RMTexture> RMTexture::FromFile(const std::string& path) {
  const QImage image = Decode(path);
  if (image.isNull()) return nullptr;
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
