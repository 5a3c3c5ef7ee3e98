#include "rm_test_support.h"

#include <cmath>
#include <cstdlib>

namespace {

struct V {
  float x, y, z;
};

V Cross(V a, V b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
V Sub(V a, V b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
float Dot(V a, V b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Adds quad a-b-c-d as two faces, turned so that they face along `outward`.
void AddQuad(MeshGeometry& g, V a, V b, V c, V d, V outward) {
  if (Dot(Cross(Sub(b, a), Sub(c, a)), outward) < 0) std::swap(b, d);
  const uint32_t base = static_cast<uint32_t>(g.positions.size());
  const V corners[4] = {a, b, c, d};
  const float uv[8] = {0, 0, 1, 0, 1, 1, 0, 1};
  for (int i = 0; i < 4; ++i) {
    g.positions.push_back({corners[i].x, corners[i].y, corners[i].z});
    g.normals.push_back({outward.x, outward.y, outward.z});
    g.uvs.push_back(uv[2 * i]);
    g.uvs.push_back(uv[2 * i + 1]);
  }
  for (uint32_t i : {0u, 1u, 2u, 0u, 2u, 3u}) g.indices.push_back(base + i);
  g.face_group.push_back(0);
  g.face_group.push_back(0);
}

MeshGeometry WithGroup(const float color[4]) {
  MeshGeometry g;
  g.groups.resize(1);
  std::copy_n(color, 4, g.groups[0].color);
  return g;
}

}  // namespace

MeshGeometry MakeBox(float s, const float color[4]) {
  MeshGeometry g = WithGroup(color);
  AddQuad(g, {-s, s, -s}, {s, s, -s}, {s, -s, -s}, {-s, -s, -s}, {0, 0, -1});
  AddQuad(g, {-s, s, s}, {s, s, s}, {s, -s, s}, {-s, -s, s}, {0, 0, 1});
  AddQuad(g, {-s, s, -s}, {-s, s, s}, {-s, -s, s}, {-s, -s, -s}, {-1, 0, 0});
  AddQuad(g, {s, s, -s}, {s, s, s}, {s, -s, s}, {s, -s, -s}, {1, 0, 0});
  AddQuad(g, {-s, s, -s}, {s, s, -s}, {s, s, s}, {-s, s, s}, {0, 1, 0});
  AddQuad(g, {-s, -s, -s}, {s, -s, -s}, {s, -s, s}, {-s, -s, s}, {0, -1, 0});
  return g;
}

MeshGeometry MakeSquare(float s, const float color[4]) {
  MeshGeometry g = WithGroup(color);
  AddQuad(g, {-s, s, 0}, {s, s, 0}, {s, -s, 0}, {-s, -s, 0}, {0, 0, -1});
  return g;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::filesystem::path TempFolder() {
  // Inside the test's own runtime folder, which goes away with the test program.
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  auto folder = std::filesystem::path(runtime ? runtime : "/tmp") / "rm-files";
  std::filesystem::create_directories(folder);
  return folder;
}

void RenderFixture::Open(int width, int height, int depth_bits) {
  width_ = width;
  height_ = height;
  target_ = OffscreenTarget::Create(width, height, depth_bits);
  ASSERT_TRUE(target_) << "no headless GL";
  target_->DoneCurrent();
  ASSERT_TRUE(Direct3DRMCreate(&rm_));
  d3d_device_ = MakeRef<Direct3DDevice>(target_.get(), false);
  ASSERT_TRUE(rm_->CreateDeviceFromD3D(nullptr, d3d_device_, &device_));
  ASSERT_TRUE(rm_->CreateFrame(nullptr, &scene_));
  ASSERT_TRUE(rm_->CreateFrame(scene_, &camera_));
  ASSERT_TRUE(rm_->CreateViewport(device_, camera_, 0, 0, width, height, &viewport_));
  viewport_->SetBack(5000);
}

void RenderFixture::TearDown() {
  viewport_.Release();
  camera_.Release();
  scene_.Release();
  device_.Release();
  d3d_device_.Release();
  rm_.Release();
  target_.reset();
}

void RenderFixture::RenderAndRead() {
  ASSERT_TRUE(viewport_->Clear());
  ASSERT_TRUE(viewport_->Render(scene_));
  ASSERT_TRUE(device_->Update());
  ASSERT_TRUE(target_->ReadPixels(pixels_));
  target_->DoneCurrent();
}

uint32_t RenderFixture::Pixel(int x, int y) const {
  const uint8_t* p = &pixels_[(y * width_ + x) * 4];
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

Ref<RMFrame> RenderFixture::AddShape(MeshGeometry geometry, D3DRMRENDERQUALITY quality, float x,
                                     float y, float z) {
  Ref<RMMeshBuilder> builder;
  rm_->CreateMeshBuilder(&builder);
  builder->SetGeometry(std::move(geometry));
  builder->SetQuality(quality);
  Ref<RMMesh> mesh;
  builder->CreateMesh(&mesh);
  Ref<RMFrame> frame;
  rm_->CreateFrame(scene_, &frame);
  frame->SetPosition(scene_, x, y, z);
  frame->AddVisual(mesh);
  return frame;
}

void RenderFixture::AddAmbient(float level) {
  Ref<RMLight> light;
  rm_->CreateLightRGB(D3DRMLIGHT_AMBIENT, level, level, level, &light);
  scene_->AddLight(light);
}

void RenderFixture::AddDirectional(float level, float dx, float dy, float dz) {
  Ref<RMFrame> frame;
  rm_->CreateFrame(scene_, &frame);
  frame->SetOrientation(scene_, dx, dy, dz, 0, 1, 0);
  Ref<RMLight> light;
  rm_->CreateLightRGB(D3DRMLIGHT_DIRECTIONAL, level, level, level, &light);
  frame->AddLight(light);
}
