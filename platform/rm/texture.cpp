#include "platform/rm/texture.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <algorithm>
#include <atomic>
#include <cctype>

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

// Reads one number of a PPM header, skipping blanks and comments.
bool ReadHeaderNumber(const uint8_t*& at, const uint8_t* end, long* value) {
  for (;;) {
    while (at < end && std::isspace(*at)) ++at;
    if (at < end && *at == '#') {
      while (at < end && *at != '\n') ++at;
      continue;
    }
    break;
  }
  if (at == end || !std::isdigit(*at)) return false;
  for (*value = 0; at < end && std::isdigit(*at) && *value < (1L << 30); ++at) *value = *value * 10 + (*at - '0');
  return true;
}

// A binary PPM larger than a texture is sampled straight from the mapped
// file, pixel by pixel of the result: no gigabyte-sized image on the way, and
// only the rows sampled are ever read from the disk. Null for anything else
// (smaller, 16-bit, damaged), which the image reader then takes.
QImage SamplePpm(const QFile& file) {
  const qint64 size = file.size();
  if (size < 16) return {};
  void* mapped = mmap(nullptr, size_t(size), PROT_READ, MAP_PRIVATE, file.handle(), 0);
  if (mapped == MAP_FAILED) return {};
  const auto* begin = static_cast<const uint8_t*>(mapped);
  const uint8_t* end = begin + size;
  const uint8_t* at = begin + 2;
  long width = 0, height = 0, maxval = 0;
  QImage image;
  const bool header = begin[0] == 'P' && begin[1] == '6' && ReadHeaderNumber(at, end, &width) &&
                      ReadHeaderNumber(at, end, &height) && ReadHeaderNumber(at, end, &maxval) &&
                      at < end && std::isspace(*at);
  ++at;
  const bool large = width > kLargest || height > kLargest;
  if (header && large && maxval > 0 && maxval < 256 && width <= kLargestSource &&
      height <= kLargestSource && end - at >= width * height * 3) {
    const int w = int(std::min<long>(width, kLargest)), h = int(std::min<long>(height, kLargest));
    image = QImage(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y) {
      const uint8_t* row = at + (long(y) * height / h) * width * 3;
      uint8_t* out = image.scanLine(y);
      for (int x = 0; x < w; ++x) {
        const uint8_t* pixel = row + (long(x) * width / w) * 3;
        for (int c = 0; c < 3; ++c) out[x * 3 + c] = uint8_t(pixel[c] * 255 / maxval);
      }
    }
  }
  munmap(mapped, size_t(size));
  return image;
}

QImage Decode(const std::string& path) {
  QFile file;
  if (path.empty() || !OpenRegularFile(path, &file)) return {};
  if (file.peek(2) == "P6") {
    QImage sampled = SamplePpm(file);
    if (!sampled.isNull()) return sampled;
  }
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
  if (image.width() <= kLargest && image.height() <= kLargest) return image;
  const QSize target(std::min(image.width(), kLargest), std::min(image.height(), kLargest));
  // Smoothing a gigabyte of pixels takes seconds: far larger images first
  // drop to twice the size by sampling, which the smoothing then evens out.
  if (image.width() > 2 * target.width() || image.height() > 2 * target.height())
    image = image.scaled(std::min(image.width(), 2 * target.width()),
                         std::min(image.height(), 2 * target.height()), Qt::IgnoreAspectRatio,
                         Qt::FastTransformation);
  return image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
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
