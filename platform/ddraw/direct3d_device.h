#pragma once
#include "platform/gl/render_target.h"
#include "platform/ref.h"

// A Direct3D device made on a back buffer: the thing the retained-mode device
// is created from. It lends the retained-mode engine the buffer it draws into,
// and keeps that buffer alive while it does.
class Direct3DDevice : public RefCounted {
 public:
  Direct3DDevice(RenderTarget* target, bool hardware) : target_(target), hardware_(hardware) {}
  Direct3DDevice(RenderTarget* target, bool hardware, RefCounted* owner)
      : target_(target), hardware_(hardware), owner_(owner) {}
  RenderTarget* Target() const { return target_; }
  bool IsHardware() const { return hardware_; }

 private:
  RenderTarget* target_;
  bool hardware_;
  Ref<RefCounted> owner_;
};
