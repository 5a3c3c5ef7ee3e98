#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/ddraw/direct3d_device.h"
#include "platform/gl/offscreen_target.h"
#include "platform/rm/direct3drm.h"
#include "support/isolated_env.h"

// Faces clockwise seen from outside, uv (0,0) (1,0) (1,1) (0,1) on each quad.
MeshGeometry MakeBox(float half, const float color[4]);
// Faces -z, towards a camera at the origin looking down +z; corners top-left,
// top-right, bottom-right, bottom-left.
MeshGeometry MakeSquare(float half, const float color[4]);
Ref<RMMesh> MakeMesh(Direct3DRM& rm, MeshGeometry geometry,
                     D3DRMRENDERQUALITY quality = D3DRMRENDER_GOURAUD);

// Written inside the test program's own runtime folder; returns the path.
std::string WriteTempFile(const std::string& name, const std::string& bytes);
// A FIFO in place of a file, which would block a plain open for ever.
std::string FifoAt(const std::filesystem::path& path);
std::filesystem::path TempFolder();

// Drawn offscreen: camera at the origin looking down +z, an ambient light.
class RenderFixture : public ::testing::Test {
 protected:
  void Open(int width, int height, float ambient = 1.0f);
  void RenderAndRead();
  // RGBA of one pixel of the last picture, row 0 at the top.
  uint8_t Channel(int x, int y, int c) const { return pixels_[(y * width_ + x) * 4 + c]; }
  uint32_t Pixel(int x, int y) const {
    return uint32_t{Channel(x, y, 0)} << 24 | Channel(x, y, 1) << 16 | Channel(x, y, 2) << 8 |
           Channel(x, y, 3);
  }
  bool IsBlack(int x, int y) const { return (Pixel(x, y) & 0xFFFFFF00u) == 0; }
  Ref<RMFrame> AddFrame(const Ref<RMVisual>& visual, float x, float y, float z);
  Ref<RMFrame> AddShape(MeshGeometry g, D3DRMRENDERQUALITY quality, float x, float y, float z) {
    return AddFrame(MakeMesh(*rm_, std::move(g), quality), x, y, z);
  }
  void AddLight(D3DRMLIGHTTYPE type, float level, float dx = 0, float dy = 0, float dz = 1);

  // Declared in teardown order's reverse: the target outlives everything drawn into it.
  std::unique_ptr<OffscreenTarget> target_;
  Ref<Direct3DRM> rm_;
  Ref<RMDevice> device_;
  Ref<RMFrame> scene_, camera_;
  Ref<RMViewport> viewport_;
  int width_ = 0, height_ = 0;
  std::vector<uint8_t> pixels_;
};
