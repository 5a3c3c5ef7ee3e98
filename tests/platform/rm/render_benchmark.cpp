// Frames per second of a full board: 32 × 24 cells sharing one mesh of 80
// faces, drawn offscreen at 1024 × 768 the way the saver draws a frame.
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>
#include <sys/resource.h>

#include <cmath>

#include "platform/ddraw/direct3d_device.h"
#include "platform/gl/offscreen_target.h"
#include "platform/rm/direct3drm.h"

namespace {

// CPU time of every thread of the process, the rasteriser's threads included:
// on a shared machine this says more than the wall clock.
double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// 8 slices and 6 stacks sharing their vertices as a model file does: the two
// poles, then 5 rings of 8. 80 faces, clockwise from outside.
MeshGeometry Sphere(float radius) {
  const int slices = 8, stacks = 6;
  MeshGeometry g;
  g.groups.resize(1);
  g.positions = {{0, radius, 0}, {0, -radius, 0}};
  for (int j = 1; j < stacks; ++j)
    for (int i = 0; i < slices; ++i) {
      const double phi = M_PI * j / stacks, theta = 2 * M_PI * i / slices;
      g.positions.push_back({float(radius * std::sin(phi) * std::cos(theta)),
                             float(radius * std::cos(phi)),
                             float(radius * std::sin(phi) * std::sin(theta))});
    }
  g.uvs.assign(g.positions.size() * 2, 0.0f);
  auto at = [&](int i, int j) -> uint32_t {
    return j == 0 ? 0 : j == stacks ? 1 : 2 + (j - 1) * slices + i % slices;
  };
  // With theta running from x towards z, a, b, c below run clockwise seen from outside.
  for (int j = 0; j < stacks; ++j)
    for (int i = 0; i < slices; ++i) {
      if (j != 0) g.indices.insert(g.indices.end(), {at(i, j), at(i + 1, j), at(i + 1, j + 1)});
      if (j != stacks - 1)
        g.indices.insert(g.indices.end(), {at(i, j), at(i + 1, j + 1), at(i, j + 1)});
    }
  g.face_group.assign(g.indices.size() / 3, 0);
  g.ComputeNormals();
  return g;
}

void BM_BoardOf768Cells(benchmark::State& state) {
  auto target = OffscreenTarget::Create(1024, 768, 16);
  if (!target) return state.SkipWithError("no headless GL");
  target->DoneCurrent();
  Ref<Direct3DRM> rm;
  Direct3DRMCreate(&rm);
  Ref<RMDevice> device;
  rm->CreateDeviceFromD3D(nullptr, MakeRef<Direct3DDevice>(target.get(), false), &device);
  device->SetQuality(static_cast<D3DRMRENDERQUALITY>(state.range(0)));
  Ref<RMFrame> scene, camera, light_frame, board;
  rm->CreateFrame(nullptr, &scene);
  for (auto* frame : {&camera, &light_frame, &board}) rm->CreateFrame(scene, frame);
  camera->SetPosition(scene, 0, 0, -33);
  Ref<RMViewport> viewport;
  rm->CreateViewport(device, camera, 0, 0, 1024, 768, &viewport);
  viewport->SetBack(5000);
  Ref<RMLight> ambient, directional;
  rm->CreateLightRGB(D3DRMLIGHT_AMBIENT, 0.3f, 0.3f, 0.3f, &ambient);
  scene->AddLight(ambient);
  light_frame->SetOrientation(scene, 1, -1, 2, 0, 1, 0);
  rm->CreateLightRGB(D3DRMLIGHT_DIRECTIONAL, 0.9f, 0.9f, 0.9f, &directional);
  light_frame->AddLight(directional);

  Ref<RMMeshBuilder> builder;
  rm->CreateMeshBuilder(&builder);
  builder->SetGeometry(Sphere(0.5f));
  Ref<RMMesh> mesh;
  builder->CreateMesh(&mesh);
  board->SetRotation(scene, 1, 1, 0, 0.05f);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 32; ++x) {
      Ref<RMFrame> cell;
      rm->CreateFrame(board, &cell);
      cell->SetMaterialMode(D3DRMMATERIAL_FROMFRAME);
      cell->SetColorRGB(0.2f + x / 40.0f, 0.2f + y / 30.0f, 0.6f);
      cell->AddVisual(mesh);
      cell->SetPosition(board, x - 15.5f, y - 11.5f, 0);
      cell->SetRotation(board, 0, 1, 0, 0.0523593351f);
    }

  const double cpu_before = ProcessCpuSeconds();
  for (auto _ : state) {
    scene->Move(1.0f);
    viewport->Clear();
    viewport->Render(scene);
    device->Update();
    glFinish();  // count the drawing, not just the queueing
  }
  const auto frames = static_cast<double>(state.iterations());
  state.counters["fps"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
  state.counters["cpu_ms_per_frame"] = 1000 * (ProcessCpuSeconds() - cpu_before) / frames;
  state.counters["faces"] = static_cast<double>(mesh->GetFaceCount());
  target->DoneCurrent();
}

}  // namespace

BENCHMARK(BM_BoardOf768Cells)
    ->Arg(D3DRMRENDER_FLAT)
    ->Arg(D3DRMRENDER_GOURAUD)
    ->Arg(D3DRMRENDER_WIREFRAME)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_MAIN();
