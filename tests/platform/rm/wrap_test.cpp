#include <gtest/gtest.h>

#include "rm_test_support.h"

namespace {

// One vertex per point, no faces: a wrap needs none. `expected` holds u, v pairs.
void ExpectWrapped(const Ref<RMWrap>& wrap, Direct3DRM& rm, const std::vector<D3DVECTOR>& points,
                   const std::vector<float>& expected) {
  MeshGeometry g;
  g.positions = points;
  g.normals.resize(points.size());
  g.uvs.assign(points.size() * 2, 9.0f);
  g.groups.resize(1);
  auto mesh = MakeMesh(rm, g);
  ASSERT_TRUE(wrap->Apply(mesh));
  float u = 0, v = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    ASSERT_TRUE(mesh->GetVertexUV(i, &u, &v));
    EXPECT_NEAR(u, expected[2 * i], 1e-5) << "vertex " << i;
    EXPECT_NEAR(v, expected[2 * i + 1], 1e-5) << "vertex " << i;
  }
  EXPECT_FALSE(mesh->GetVertexUV(points.size(), &u, &v)) << "one past the last vertex";
  EXPECT_FALSE(mesh->SetVertexUV(points.size(), 0, 0));
}

TEST(WrapTest, SphereGivesKnownVerticesTheirCoordinates) {
  Ref<Direct3DRM> rm;
  Direct3DRMCreate(&rm);
  Ref<RMWrap> wrap;
  // Direction +y, up +z: wrap x = up × dir = (-1, 0, 0).
  ASSERT_TRUE(
      rm->CreateWrap(D3DRMWRAP_SPHERE, nullptr, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 1, -1, &wrap));
  // On the axis φ = 0; then θ = 0, π/2, π and 3π/2 (taken in [0, 2π)) at φ = π/2;
  // φ = π; the origin itself; φ = π/4.
  ExpectWrapped(
      wrap, *rm,
      {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}, {1, 0, 0}, {0, 0, -1}, {0, -2, 0}, {0, 0, 0}, {-1, 1, 0}},
      {0, 0, 0, -0.5f, 0.25f, -0.5f, 0.5f, -0.5f, 0.75f, -0.5f, 0, -1, 0, 0, 0, -0.25f});
  // Around (5,0,0), direction +z, up +y: wrap x = (1,0,0); offset (0.5, 0.25), scale (2, 4).
  ASSERT_TRUE(rm->CreateWrap(D3DRMWRAP_SPHERE, nullptr, 5, 0, 0, 0, 0, 3, 0, 2, 0, 0.5f, 0.25f, 2,
                             4, &wrap));
  ExpectWrapped(wrap, *rm, {{5, 0, 1}, {5, 1, 0}}, {-0.5f, -0.25f, 2 * 0.25f - 0.5f, 1.75f});
  EXPECT_FALSE(wrap->Apply(nullptr));
}

}  // namespace
