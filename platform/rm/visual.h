#pragma once
#include <cstdint>

#include "platform/ref.h"
#include "platform/rm/mesh_geometry.h"
#include "platform/rm/render_quality.h"

// Something a frame can show: a mesh or a mesh builder.
class RMVisual : public RefCounted {
 public:
  RMVisual();
  virtual const MeshGeometry& Geometry() const = 0;
  virtual D3DRMRENDERQUALITY GetQuality() const = 0;
  // Identity and content version for the renderer's caches.
  uint64_t Id() const { return id_; }
  uint64_t Version() const { return version_; }

 protected:
  void Changed() { ++version_; }

 private:
  uint64_t id_;
  uint64_t version_ = 1;
};
