#include "life/scene_cell.h"

#include "platform/rm/direct3drm.h"
#include "settings/resolved_options.h"
#include "stage/graphics_context.h"

SceneCell::SceneCell() {
  Direct3DRM* rm = PublishedRMObject();
  if (!rm) return;
  rm->CreateFrame(Ref<RMFrame>(), &frame);
  // Without a texture the animation colours each cell through its frame.
  if (frame && !Resolved.TextureFlag) frame->SetMaterialMode(D3DRMMATERIAL_FROMFRAME);
}

SceneCell::~SceneCell() {
  if (frame && visual) frame->DeleteVisual(Ref<RMVisual>(visual));
  frame.Release();
}
