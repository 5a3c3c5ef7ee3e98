#include "platform/gl/framebuffer.h"

#include <epoxy/gl.h>

#include <algorithm>

namespace {

GLenum InternalFormat(ColorFormat format) {
  return format == ColorFormat::kRgb565 ? GL_RGB565 : GL_RGBA8;
}

GLenum DepthFormat(int bits) {
  return bits == 16 ? GL_DEPTH_COMPONENT16 : GL_DEPTH_COMPONENT24;
}

}  // namespace

Framebuffer::Framebuffer(int width, int height, ColorFormat format, int depth_bits,
                         ColorStorage storage)
    : width_(width), height_(height), format_(format), depth_bits_(depth_bits), storage_(storage) {
  if (depth_bits_ != 0 && depth_bits_ != 16) depth_bits_ = 24;
  valid_ = Allocate();
}

Framebuffer::~Framebuffer() {
  Free();
}

bool Framebuffer::Resize(int width, int height) {
  Free();
  width_ = width;
  height_ = height;
  valid_ = Allocate();
  return valid_;
}

bool Framebuffer::Allocate() {
  if (width_ <= 0 || height_ <= 0) return false;
  glGenFramebuffers(1, &fbo_);
  glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
  if (storage_ == ColorStorage::kTexture) {
    glGenTextures(1, &color_);
    glBindTexture(GL_TEXTURE_2D, color_);
    if (format_ == ColorFormat::kRgba8) {
      // Given unsized RGBA with BGRA bytes, Mesa keeps the pixels in that order,
      // the X server's order for 24- and 32-bit windows: reading a frame out for
      // a window is then a plain copy, half the time that llvmpipe takes to swap
      // red and blue in every pixel as it reads.
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width_, height_, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                   nullptr);
    } else {
      glTexStorage2D(GL_TEXTURE_2D, 1, InternalFormat(format_), width_, height_);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, color_, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
  } else {
    glGenRenderbuffers(1, &color_);
    glBindRenderbuffer(GL_RENDERBUFFER, color_);
    glRenderbufferStorage(GL_RENDERBUFFER, InternalFormat(format_), width_, height_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color_);
  }
  if (depth_bits_) {
    glGenRenderbuffers(1, &depth_);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_);
    glRenderbufferStorage(GL_RENDERBUFFER, DepthFormat(depth_bits_), width_, height_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
  }
  glBindRenderbuffer(GL_RENDERBUFFER, 0);
  bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  return complete;
}

void Framebuffer::Free() {
  if (depth_) glDeleteRenderbuffers(1, &depth_);
  if (color_ && storage_ == ColorStorage::kTexture) glDeleteTextures(1, &color_);
  if (color_ && storage_ == ColorStorage::kRenderbuffer) glDeleteRenderbuffers(1, &color_);
  if (fbo_) glDeleteFramebuffers(1, &fbo_);
  fbo_ = color_ = depth_ = 0;
  valid_ = false;
}

bool Framebuffer::ReadPixels(std::vector<uint8_t>& rgba) const {
  if (!valid_) return false;
  const size_t row = static_cast<size_t>(width_) * 4;
  // Read straight into the caller's buffer, which keeps its memory from one
  // call to the next.
  rgba.resize(row * height_);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo_);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  if (glGetError() != GL_NO_ERROR) return false;
  // GL counts rows from the bottom; callers think of pictures from the top.
  for (int top = 0, bottom = height_ - 1; top < bottom; ++top, --bottom)
    std::swap_ranges(rgba.begin() + top * row, rgba.begin() + (top + 1) * row,
                     rgba.begin() + bottom * row);
  return true;
}
