#pragma once
#include "platform/gl/render_target.h"
#include "platform/ref.h"

// A Direct3D device made on a back buffer: the thing the retained-mode device
// is created from. It lends the retained-mode engine the buffer it draws into.
class Direct3DDevice : public RefCounted {
public:
  Direct3DDevice(RenderTarget* target, bool hardware) : target_(target), hardware_(hardware) {}
  RenderTarget* Target() const { return target_; }
  bool IsHardware() const { return hardware_; }

private:
  RenderTarget* target_;
  bool hardware_;
};
