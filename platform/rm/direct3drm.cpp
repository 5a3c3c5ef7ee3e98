#include "platform/rm/direct3drm.h"

#include "platform/rm/search_path.h"

Direct3DRM::Direct3DRM() : search_path_(std::make_shared<SearchPath>()) {}
Direct3DRM::~Direct3DRM() = default;

bool Direct3DRMCreate(Ref<Direct3DRM>* rm) {
  if (!rm) return false;
  *rm = MakeRef<Direct3DRM>();
  return true;
}

bool Direct3DRM::CreateFrame(const Ref<RMFrame>& parent, Ref<RMFrame>* frame) {
  if (!frame) return false;
  Ref<RMFrame> created = MakeRef<RMFrame>();
  if (parent) parent->AddChild(created);
  *frame = std::move(created);
  return true;
}

bool Direct3DRM::CreateMeshBuilder(Ref<RMMeshBuilder>* builder) {
  if (!builder) return false;
  *builder = MakeRef<RMMeshBuilder>(search_path_);
  return true;
}

bool Direct3DRM::LoadTexture(const std::string& file, Ref<RMTexture>* texture) {
  if (!texture) return false;
  const std::string found = search_path_->Find(file);
  Ref<RMTexture> loaded = found.empty() ? nullptr : RMTexture::FromFile(found);
  if (!loaded) return false;
  *texture = std::move(loaded);
  return true;
}

bool Direct3DRM::SetSearchPath(const std::string& path) {
  search_path_->Set(path);
  return true;
}

bool Direct3DRM::AddSearchPath(const std::string& path) {
  search_path_->Add(path);
  return true;
}

std::string Direct3DRM::GetSearchPath() const {
  return search_path_->Get();
}

bool Direct3DRM::CreateWrap(D3DRMWRAPTYPE type, const Ref<RMFrame>& ref, D3DVALUE ox, D3DVALUE oy,
                            D3DVALUE oz, D3DVALUE dx, D3DVALUE dy, D3DVALUE dz, D3DVALUE ux,
                            D3DVALUE uy, D3DVALUE uz, D3DVALUE ou, D3DVALUE ov, D3DVALUE su,
                            D3DVALUE sv, Ref<RMWrap>* wrap) {
  // Only the spherical wrap is drawn; the others would silently give wrong pictures.
  if (!wrap || type != D3DRMWRAP_SPHERE) return false;
  RMWrap::Params params{type, {ox, oy, oz}, {dx, dy, dz}, {ux, uy, uz}, ou, ov, su, sv};
  if (ref) {
    // Place the wrap in world terms; meshes are wrapped in their own space,
    // which is the world for the meshes the saver wraps.
    const Mat4 world = ref->World();
    const Vec3 o = world.Point({ox, oy, oz}), d = world.Direction({dx, dy, dz}),
               u = world.Direction({ux, uy, uz});
    params.origin = {float(o.x), float(o.y), float(o.z)};
    params.direction = {float(d.x), float(d.y), float(d.z)};
    params.up = {float(u.x), float(u.y), float(u.z)};
  }
  *wrap = MakeRef<RMWrap>(params);
  return true;
}

bool Direct3DRM::CreateLightRGB(D3DRMLIGHTTYPE type, D3DVALUE r, D3DVALUE g, D3DVALUE b,
                                Ref<RMLight>* light) {
  if (!light) return false;
  *light = MakeRef<RMLight>(type, r, g, b);
  return true;
}

bool Direct3DRM::CreateViewport(const Ref<RMDevice>& device, const Ref<RMFrame>& camera, int x,
                                int y, int width, int height, Ref<RMViewport>* viewport) {
  if (!viewport || !device || !camera || width <= 0 || height <= 0 || x < 0 || y < 0) return false;
  *viewport = MakeRef<RMViewport>(device, camera, x, y, width, height);
  return true;
}

bool Direct3DRM::CreateDeviceFromD3D(Direct3D* /*d3d*/, const Ref<Direct3DDevice>& d3d_device,
                                     Ref<RMDevice>* device) {
  if (!device || !d3d_device || !d3d_device->Target()) return false;
  *device = MakeRef<RMDevice>(d3d_device);
  return true;
}

bool Direct3DRM::SetDefaultTextureColors(unsigned colors) {
  if (colors < 2) return false;
  texture_colors_ = colors;
  return true;
}

bool Direct3DRM::SetDefaultTextureShades(unsigned shades) {
  if (shades < 1) return false;
  texture_shades_ = shades;
  return true;
}
