#include "platform/rm/viewport.h"

#include <algorithm>

#include "platform/rm/renderer.h"

RMViewport::RMViewport(Ref<RMDevice> device, Ref<RMFrame> camera, int x, int y, int width,
                       int height)
    : device_(std::move(device)),
      camera_(std::move(camera)),
      x_(x),
      y_(y),
      width_(width),
      height_(height) {}

bool RMViewport::SetBack(D3DVALUE back) {
  if (!(back > front_)) return false;
  back_ = back;
  return true;
}

bool RMViewport::SetFront(D3DVALUE front) {
  if (!(front > 0) || !(front < back_)) return false;
  front_ = front;
  return true;
}

bool RMViewport::SetField(D3DVALUE field) {
  if (!(field > 0)) return false;
  field_ = field;
  return true;
}

bool RMViewport::SetCamera(const Ref<RMFrame>& camera) {
  if (!camera) return false;
  camera_ = camera;
  return true;
}

void RMViewport::Projection(float out[16]) const {
  // The field spans the larger side, so a wide window sees more at the sides
  // and a tall one more above and below, never a squeezed picture.
  const double l = std::max(width_, height_);
  const double n = front_, b = back_, f = field_;
  std::fill(out, out + 16, 0.0f);
  out[0] = static_cast<float>(n / f * l / width_);
  out[5] = static_cast<float>(n / f * l / height_);
  out[10] = static_cast<float>((b + n) / (b - n));
  out[11] = 1.0f;
  out[14] = static_cast<float>(-2 * b * n / (b - n));
}

bool RMViewport::Clear() {
  RenderTarget* target = device_->Target();
  if (!target || width_ <= 0 || height_ <= 0 || !target->MakeCurrent()) return false;
  Renderer* renderer = device_->GetRenderer();
  if (!renderer) return false;
  renderer->Clear(*target, x_, y_, width_, height_);
  return true;
}

bool RMViewport::Render(const Ref<RMFrame>& scene) {
  RenderTarget* target = device_->Target();
  if (!scene || !camera_ || !target || width_ <= 0 || height_ <= 0) return false;
  if (!target->MakeCurrent()) return false;
  Renderer* renderer = device_->GetRenderer();
  if (!renderer) return false;
  Renderer::View view{x_, y_, width_, height_, {}, camera_->World()};
  Projection(view.projection);
  return renderer->Draw(*target, view, *scene, device_->GetQuality(), device_->GetTextureQuality());
}

bool RMViewport::ForceUpdate(int x1, int y1, int x2, int y2) {
  return x1 <= x2 && y1 <= y2;
}
