#pragma once
#include <memory>
#include <string>

#include "platform/ddraw/direct3d_device.h"
#include "platform/ref.h"
#include "platform/rm/device.h"
#include "platform/rm/frame.h"
#include "platform/rm/light.h"
#include "platform/rm/mesh.h"
#include "platform/rm/mesh_builder.h"
#include "platform/rm/texture.h"
#include "platform/rm/viewport.h"
#include "platform/rm/wrap.h"

class Direct3D;
class SearchPath;

// The retained-mode object: makes every other retained-mode object and holds
// the folders where named files are looked for.
class Direct3DRM : public RefCounted {
 public:
  Direct3DRM();
  ~Direct3DRM() override;

  bool CreateFrame(const Ref<RMFrame>& parent, Ref<RMFrame>* frame);
  bool CreateMeshBuilder(Ref<RMMeshBuilder>* builder);
  // Reads an image file, looked for as given and then in the search path.
  bool LoadTexture(const std::string& file, Ref<RMTexture>* texture);
  // Folders separated by ';' (a single folder is the usual case).
  bool SetSearchPath(const std::string& path);
  bool AddSearchPath(const std::string& path);
  std::string GetSearchPath() const;
  bool CreateWrap(D3DRMWRAPTYPE type, const Ref<RMFrame>& ref, D3DVALUE ox, D3DVALUE oy,
                  D3DVALUE oz, D3DVALUE dx, D3DVALUE dy, D3DVALUE dz, D3DVALUE ux, D3DVALUE uy,
                  D3DVALUE uz, D3DVALUE ou, D3DVALUE ov, D3DVALUE su, D3DVALUE sv,
                  Ref<RMWrap>* wrap);
  bool CreateLightRGB(D3DRMLIGHTTYPE type, D3DVALUE r, D3DVALUE g, D3DVALUE b, Ref<RMLight>* light);
  bool CreateViewport(const Ref<RMDevice>& device, const Ref<RMFrame>& camera, int x, int y,
                      int width, int height, Ref<RMViewport>* viewport);
  // The device carries the render target; `d3d` is never used and may be null.
  bool CreateDeviceFromD3D(Direct3D* d3d, const Ref<Direct3DDevice>& d3d_device,
                           Ref<RMDevice>* device);
  bool SetDefaultTextureColors(unsigned colors);
  unsigned GetDefaultTextureColors() const { return texture_colors_; }
  bool SetDefaultTextureShades(unsigned shades);
  unsigned GetDefaultTextureShades() const { return texture_shades_; }

 private:
  std::shared_ptr<SearchPath> search_path_;
  unsigned texture_colors_ = 8;
  unsigned texture_shades_ = 16;
};

bool Direct3DRMCreate(Ref<Direct3DRM>* rm);
