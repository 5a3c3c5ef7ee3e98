#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/ddraw/direct3d_device.h"
#include "platform/gl/offscreen_target.h"
#include "platform/rm/direct3drm.h"

// Geometry written by hand: faces clockwise seen from outside.
MeshGeometry MakeBox(float half, const float color[4]);
// A square in the plane z = 0 facing -z (towards a camera at the origin
// looking down +z); corners top-left, top-right, bottom-right, bottom-left
// with uv (0,0), (1,0), (1,1), (0,1).
MeshGeometry MakeSquare(float half, const float color[4]);

void WriteFile(const std::filesystem::path& path, const std::string& bytes);

// A scene drawn offscreen: scene frame, camera at the origin looking down +z,
// a device and a viewport of the given size.
class RenderFixture : public ::testing::Test {
 protected:
  void Open(int width, int height, int depth_bits = 16);
  void TearDown() override;

  // Clears, renders and reads the picture back.
  void RenderAndRead();
  // RGBA of one pixel of the last picture (row 0 at the top).
  uint32_t Pixel(int x, int y) const;
  uint8_t Channel(int x, int y, int c) const { return pixels_[(y * width_ + x) * 4 + c]; }
  bool IsBlack(int x, int y) const { return (Pixel(x, y) & 0xFFFFFF00u) == 0; }

  Ref<RMFrame> AddShape(MeshGeometry geometry, D3DRMRENDERQUALITY quality, float x, float y,
                        float z);
  void AddAmbient(float level);
  void AddDirectional(float level, float dx, float dy, float dz);

  std::unique_ptr<OffscreenTarget> target_;
  Ref<Direct3DRM> rm_;
  Ref<Direct3DDevice> d3d_device_;
  Ref<RMDevice> device_;
  Ref<RMFrame> scene_;
  Ref<RMFrame> camera_;
  Ref<RMViewport> viewport_;
  int width_ = 0, height_ = 0;
  std::vector<uint8_t> pixels_;
};

// A folder of its own for files a test writes.
std::filesystem::path TempFolder();
