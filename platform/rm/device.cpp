#include "platform/rm/device.h"

#include <epoxy/gl.h>

#include "platform/rm/renderer.h"

RMDevice::RMDevice(Ref<Direct3DDevice> d3d_device) : d3d_device_(std::move(d3d_device)) {}

RMDevice::~RMDevice() {
  // GL names belong to the target's context: free them while it is current.
  // Should it be gone, the calls find no context and do nothing.
  if (renderer_ && Target()) Target()->MakeCurrent();
  renderer_.reset();
}

bool RMDevice::SetBufferCount(unsigned count) {
  if (count < 1) return false;
  buffer_count_ = count;
  return true;
}

bool RMDevice::SetShades(unsigned shades) {
  if (shades < 1) return false;
  shades_ = shades;
  return true;
}

bool RMDevice::SetDither(bool dither) {
  dither_ = dither;
  return true;
}

bool RMDevice::SetQuality(D3DRMRENDERQUALITY quality) {
  quality_ = quality;
  return true;
}

bool RMDevice::SetTextureQuality(D3DRMTEXTUREQUALITY quality) {
  if (quality != D3DRMTEXTURE_NEAREST && quality != D3DRMTEXTURE_LINEAR) return false;
  texture_quality_ = quality;
  return true;
}

bool RMDevice::Update() {
  if (!Target() || !Target()->MakeCurrent()) return false;
  // The display side reads or shows the buffer next, possibly from another
  // context: hand the commands to the driver now.
  glFlush();
  return glGetError() == GL_NO_ERROR;
}

int RMDevice::GetWidth() const {
  return Target() ? Target()->Width() : 0;
}
int RMDevice::GetHeight() const {
  return Target() ? Target()->Height() : 0;
}

Renderer* RMDevice::GetRenderer() {
  if (!renderer_) renderer_ = std::make_unique<Renderer>();
  return renderer_->IsValid() ? renderer_.get() : nullptr;
}
