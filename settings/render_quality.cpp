#include "settings/render_quality.h"

namespace {

D3DRMRENDERQUALITY QualityOfRendering(uint32_t rendering) {
  switch (rendering) {
    case 0: return D3DRMRENDER_WIREFRAME;
    case 2: return D3DRMRENDER_GOURAUD;
    default: return D3DRMRENDER_FLAT;
  }
}

}  // namespace

D3DRMRENDERQUALITY RenderQualityFor(const SettingsRecord& settings) {
  return QualityOfRendering(settings.Rendering);
}

D3DRMRENDERQUALITY RenderQualityFor(const ResolvedOptionsRecord& options) {
  return QualityOfRendering(options.Rendering);
}
