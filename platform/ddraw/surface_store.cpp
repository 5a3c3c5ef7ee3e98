#include "platform/ddraw/surface_store.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <vector>

#include "platform/ddraw/display_device.h"

SurfaceStore::SurfaceStore(DisplayDevice* device, int width, int height, ColorFormat format)
    : device_(device), width_(width), height_(height), format_(format) {
  ContextScope scope(device_);
  if (scope.Ok())
    fbo_ = std::make_unique<::Framebuffer>(width, height, format, 0, ColorStorage::kTexture);
}

SurfaceStore::~SurfaceStore() {
  ContextScope scope(device_);
  fbo_.reset();
}

bool SurfaceStore::SetDepthBits(int bits) {
  ContextScope scope(device_);
  if (!scope.Ok()) return false;
  fbo_ = std::make_unique<::Framebuffer>(width_, height_, format_, bits, ColorStorage::kTexture);
  if (!fbo_->IsValid()) return false;
  DisplayDevice::Fill(*fbo_, RECT{0, 0, width_, height_}, 0, 0, 0);
  return true;
}

bool SurfaceStore::MakeCurrent() {
  return device_->Context().MakeCurrent();
}

bool SurfaceStore::Upload(const uint8_t* rgba) {
  ContextScope scope(device_);
  if (!scope.Ok() || !IsValid()) return false;
  // GL counts rows from the bottom.
  const size_t row = size_t(width_) * 4;
  bottomUp_.resize(row * size_t(height_));
  for (int y = 0; y < height_; ++y)
    std::copy_n(rgba + row * size_t(height_ - 1 - y), row, bottomUp_.data() + row * size_t(y));
  glBindTexture(GL_TEXTURE_2D, fbo_->ColorTexture());
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE,
                  bottomUp_.data());
  glBindTexture(GL_TEXTURE_2D, 0);
  return glGetError() == GL_NO_ERROR;
}
