#include <gtest/gtest.h>

#include "rm_test_support.h"

namespace {

// One vertex per test point, no faces needed for a wrap.
Ref<RMMesh> MeshOf(Direct3DRM& rm, const std::vector<D3DVECTOR>& points) {
  Ref<RMMeshBuilder> builder;
  rm.CreateMeshBuilder(&builder);
  MeshGeometry g;
  g.positions = points;
  g.normals.resize(points.size());
  g.uvs.assign(points.size() * 2, 9.0f);
  g.groups.resize(1);
  builder->SetGeometry(g);
  Ref<RMMesh> mesh;
  builder->CreateMesh(&mesh);
  return mesh;
}

void ExpectUV(const Ref<RMMesh>& mesh, size_t i, float u, float v) {
  float gu = 0, gv = 0;
  ASSERT_TRUE(mesh->GetVertexUV(i, &gu, &gv));
  EXPECT_NEAR(gu, u, 1e-5) << "vertex " << i;
  EXPECT_NEAR(gv, v, 1e-5) << "vertex " << i;
}

TEST(WrapTest, SphereAsTheSaverUsesIt) {
  Ref<Direct3DRM> rm;
  Direct3DRMCreate(&rm);
  // Direction +y, up +z: wrap x = up × dir = (-1, 0, 0).
  auto mesh = MeshOf(
      *rm,
      {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}, {1, 0, 0}, {0, 0, -1}, {0, -2, 0}, {0, 0, 0}, {-1, 1, 0}});
  Ref<RMWrap> wrap;
  ASSERT_TRUE(
      rm->CreateWrap(D3DRMWRAP_SPHERE, nullptr, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 1, -1, &wrap));
  ASSERT_TRUE(wrap->Apply(mesh));
  ExpectUV(mesh, 0, 0, 0);      // on the axis: φ = 0
  ExpectUV(mesh, 1, 0, -0.5f);  // θ = 0, φ = π/2
  ExpectUV(mesh, 2, 0.25f, -0.5f);
  ExpectUV(mesh, 3, 0.5f, -0.5f);
  ExpectUV(mesh, 4, 0.75f, -0.5f);  // θ taken in [0, 2π)
  ExpectUV(mesh, 5, 0, -1);         // φ = π
  ExpectUV(mesh, 6, 0, 0);          // the origin itself
  ExpectUV(mesh, 7, 0, -0.25f);     // φ = π/4
}

TEST(WrapTest, OriginOffsetAndScaleApply) {
  Ref<Direct3DRM> rm;
  Direct3DRMCreate(&rm);
  auto mesh = MeshOf(*rm, {{5, 0, 1}, {5, 1, 0}});
  Ref<RMWrap> wrap;
  // Around (5,0,0), direction +z, up +y: wrap x = (1,0,0).
  ASSERT_TRUE(rm->CreateWrap(D3DRMWRAP_SPHERE, nullptr, 5, 0, 0, 0, 0, 3, 0, 2, 0, 0.5f, 0.25f, 2,
                             4, &wrap));
  wrap->Apply(mesh);
  ExpectUV(mesh, 0, 2 * 0 - 0.5f, 4 * 0 - 0.25f);
  ExpectUV(mesh, 1, 2 * 0.25f - 0.5f, 4 * 0.5f - 0.25f);
}

TEST(WrapTest, OnlySphereIsOffered) {
  Ref<Direct3DRM> rm;
  Direct3DRMCreate(&rm);
  Ref<RMWrap> wrap;
  EXPECT_FALSE(
      rm->CreateWrap(D3DRMWRAP_FLAT, nullptr, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 1, 1, &wrap));
  EXPECT_FALSE(wrap);
  ASSERT_TRUE(
      rm->CreateWrap(D3DRMWRAP_SPHERE, nullptr, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 1, 1, &wrap));
  EXPECT_FALSE(wrap->Apply(nullptr));
}

}  // namespace
