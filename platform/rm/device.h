#pragma once
#include <memory>

#include "platform/ddraw/direct3d_device.h"
#include "platform/ref.h"
#include "platform/rm/render_quality.h"
#include "platform/rm/rm_types.h"

class Renderer;

// The retained-mode device: draws into the render target of a Direct3D
// device. Its quality is a ceiling for everything drawn through it.
class RMDevice : public RefCounted {
 public:
  explicit RMDevice(Ref<Direct3DDevice> d3d_device);
  ~RMDevice() override;

  bool SetBufferCount(unsigned count);
  unsigned GetBufferCount() const { return buffer_count_; }
  bool SetShades(unsigned shades);
  unsigned GetShades() const { return shades_; }
  bool SetDither(bool dither);
  bool GetDither() const { return dither_; }
  bool SetQuality(D3DRMRENDERQUALITY quality);
  D3DRMRENDERQUALITY GetQuality() const { return quality_; }
  bool SetTextureQuality(D3DRMTEXTUREQUALITY quality);
  D3DRMTEXTUREQUALITY GetTextureQuality() const { return texture_quality_; }
  // Finishes the picture in the target; true when it was drawn.
  bool Update();
  int GetWidth() const;
  int GetHeight() const;

  RenderTarget* Target() const { return d3d_device_->Target(); }
  // The GL side, made on first use in the rendering thread's context.
  Renderer* GetRenderer();

 private:
  Ref<Direct3DDevice> d3d_device_;
  std::unique_ptr<Renderer> renderer_;
  unsigned buffer_count_ = 1;
  unsigned shades_ = 32;
  bool dither_ = true;
  D3DRMRENDERQUALITY quality_ = D3DRMRENDER_FLAT;
  D3DRMTEXTUREQUALITY texture_quality_ = D3DRMTEXTURE_NEAREST;
};
