#pragma once
#include "platform/ref.h"
#include "platform/rm/device.h"
#include "platform/rm/frame.h"

// A rectangle of a device showing the scene as seen from a camera frame.
class RMViewport : public RefCounted {
 public:
  RMViewport(Ref<RMDevice> device, Ref<RMFrame> camera, int x, int y, int width, int height);

  bool SetBack(D3DVALUE back);
  D3DVALUE GetBack() const { return back_; }
  bool SetFront(D3DVALUE front);
  D3DVALUE GetFront() const { return front_; }
  bool SetField(D3DVALUE field);
  D3DVALUE GetField() const { return field_; }
  bool SetCamera(const Ref<RMFrame>& camera);
  const Ref<RMFrame>& GetCamera() const { return camera_; }
  int GetX() const { return x_; }
  int GetY() const { return y_; }
  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }

  // Fills the viewport with the background (opaque black) and clears depth.
  bool Clear();
  // Draws every visual in the tree under `scene` as the camera sees it.
  bool Render(const Ref<RMFrame>& scene);
  // Asks for the area to be drawn again in full; every frame is drawn in full.
  bool ForceUpdate(int x1, int y1, int x2, int y2);

  // Projection in column-vector form, as OpenGL takes it (column-major).
  void Projection(float out[16]) const;

 private:
  Ref<RMDevice> device_;
  Ref<RMFrame> camera_;
  int x_, y_, width_, height_;
  D3DVALUE front_ = 1.0f;
  D3DVALUE back_ = 100.0f;
  D3DVALUE field_ = 0.5f;
};
