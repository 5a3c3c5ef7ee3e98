#pragma once
#include "platform/ref.h"
#include "platform/rm/mesh.h"
#include "platform/rm/mesh_builder.h"
#include "platform/rm/rm_types.h"

// Texture-coordinate generator. Only the spherical wrap is supported.
class RMWrap : public RefCounted {
 public:
  struct Params {
    D3DRMWRAPTYPE type;
    D3DVECTOR origin, direction, up;
    D3DVALUE ou, ov, su, sv;
  };
  explicit RMWrap(const Params& params) : p_(params) {}

  // Writes texture coordinates into every vertex of the mesh.
  bool Apply(const Ref<RMMesh>& mesh) const;
  // Texture coordinates this wrap gives a point in model space.
  void Map(const D3DVECTOR& p, float* u, float* v) const;

 private:
  Params p_;
};
