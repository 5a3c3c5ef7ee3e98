#include "rm_test_support.h"

#include <sys/stat.h>

#include <cstdlib>

namespace {

// Quad a-b-c-d as faces a-b-c and a-c-d, with (b − a) × (c − a) along the normal `out`:
// front-facing seen from that side.
void AddQuad(MeshGeometry& g, D3DVECTOR a, D3DVECTOR b, D3DVECTOR c, D3DVECTOR d, D3DVECTOR out) {
  const auto base = static_cast<uint32_t>(g.positions.size());
  g.positions.insert(g.positions.end(), {a, b, c, d});
  g.normals.insert(g.normals.end(), 4, out);
  g.uvs.insert(g.uvs.end(), {0, 0, 1, 0, 1, 1, 0, 1});
  for (uint32_t i : {0u, 1u, 2u, 0u, 2u, 3u}) g.indices.push_back(base + i);
  g.face_group.insert(g.face_group.end(), 2, 0);
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
  AddQuad(g, {-s, s, s}, {-s, -s, s}, {s, -s, s}, {s, s, s}, {0, 0, 1});
  AddQuad(g, {-s, s, -s}, {-s, -s, -s}, {-s, -s, s}, {-s, s, s}, {-1, 0, 0});
  AddQuad(g, {s, s, -s}, {s, s, s}, {s, -s, s}, {s, -s, -s}, {1, 0, 0});
  AddQuad(g, {-s, s, -s}, {-s, s, s}, {s, s, s}, {s, s, -s}, {0, 1, 0});
  AddQuad(g, {-s, -s, -s}, {s, -s, -s}, {s, -s, s}, {-s, -s, s}, {0, -1, 0});
  return g;
}

MeshGeometry MakeSquare(float s, const float color[4]) {
  MeshGeometry g = WithGroup(color);
  AddQuad(g, {-s, s, 0}, {s, s, 0}, {s, -s, 0}, {-s, -s, 0}, {0, 0, -1});
  return g;
}

Ref<RMMesh> MakeMesh(Direct3DRM& rm, MeshGeometry geometry, D3DRMRENDERQUALITY quality) {
  Ref<RMMeshBuilder> builder;
  rm.CreateMeshBuilder(&builder);
  builder->SetGeometry(std::move(geometry));
  builder->SetQuality(quality);
  Ref<RMMesh> mesh;
  builder->CreateMesh(&mesh);
  return mesh;
}

std::filesystem::path TempFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  auto folder = std::filesystem::path(runtime ? runtime : "/tmp") / "rm-files";
  std::filesystem::create_directories(folder);
  return folder;
}

std::string WriteTempFile(const std::string& name, const std::string& bytes) {
  const std::string path = TempFolder() / name;
  WriteWholeFile(path, bytes);
  return path;
}

std::string FifoAt(const std::filesystem::path& path) {
  std::filesystem::remove(path);
  mkfifo(path.c_str(), 0600);
  return path.string();
}

void RenderFixture::Open(int width, int height, float ambient) {
  // A second picture in one test: drop the first one's objects while its target lives.
  viewport_.Release();
  camera_.Release();
  scene_.Release();
  device_.Release();
  width_ = width;
  height_ = height;
  target_ = OffscreenTarget::Create(width, height, 16);
  ASSERT_TRUE(target_) << "no headless GL";
  target_->DoneCurrent();
  ASSERT_TRUE(Direct3DRMCreate(&rm_));
  ASSERT_TRUE(
      rm_->CreateDeviceFromD3D(nullptr, MakeRef<Direct3DDevice>(target_.get(), false), &device_));
  ASSERT_TRUE(rm_->CreateFrame(nullptr, &scene_));
  ASSERT_TRUE(rm_->CreateFrame(scene_, &camera_));
  ASSERT_TRUE(rm_->CreateViewport(device_, camera_, 0, 0, width, height, &viewport_));
  viewport_->SetBack(5000);
  AddLight(D3DRMLIGHT_AMBIENT, ambient);
}

void RenderFixture::RenderAndRead() {
  ASSERT_TRUE(viewport_->Clear());
  ASSERT_TRUE(viewport_->Render(scene_));
  ASSERT_TRUE(device_->Update());
  ASSERT_TRUE(target_->ReadPixels(pixels_));
  target_->DoneCurrent();
}

Ref<RMFrame> RenderFixture::AddFrame(const Ref<RMVisual>& visual, float x, float y, float z) {
  Ref<RMFrame> frame;
  rm_->CreateFrame(scene_, &frame);
  frame->SetPosition(scene_, x, y, z);
  frame->AddVisual(visual);
  return frame;
}

void RenderFixture::AddLight(D3DRMLIGHTTYPE type, float level, float dx, float dy, float dz) {
  Ref<RMFrame> frame;
  rm_->CreateFrame(scene_, &frame);
  frame->SetOrientation(scene_, dx, dy, dz, 0, 1, 0);
  Ref<RMLight> light;
  rm_->CreateLightRGB(type, level, level, level, &light);
  frame->AddLight(light);
}
