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

// CPU time of every thread of the process: the rasteriser's threads included.
// On a shared machine this says more than the wall clock.
double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// A sphere of 8 slices and 6 stacks sharing its vertices as a model file
// does: 80 faces, turned clockwise from outside.
MeshGeometry Sphere(float radius) {
  MeshGeometry g;
  g.groups.resize(1);
  const int slices = 8, stacks = 6;
  auto index = [&](int i, int j) -> uint32_t {
    if (j == 0) return 0;
    if (j == stacks) return 1;
    return 2 + (j - 1) * slices + (i % slices);
  };
  g.positions.resize(2 + (stacks - 1) * slices);
  for (int j = 0; j <= stacks; ++j)
    for (int i = 0; i < slices; ++i) {
      const double phi = M_PI * j / stacks, theta = 2 * M_PI * i / slices;
      g.positions[index(i, j)] = {float(radius * std::sin(phi) * std::cos(theta)),
                                  float(radius * std::cos(phi)),
                                  float(radius * std::sin(phi) * std::sin(theta))};
    }
  g.uvs.assign(g.positions.size() * 2, 0.0f);
  auto face = [&](uint32_t a, uint32_t b, uint32_t c) {
    const D3DVECTOR &pa = g.positions[a], &pb = g.positions[b], &pc = g.positions[c];
    const D3DVECTOR e1{pb.x - pa.x, pb.y - pa.y, pb.z - pa.z},
        e2{pc.x - pa.x, pc.y - pa.y, pc.z - pa.z};
    const D3DVECTOR n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z,
                      e1.x * e2.y - e1.y * e2.x};
    if (n.x * (pa.x + pb.x + pc.x) + n.y * (pa.y + pb.y + pc.y) + n.z * (pa.z + pb.z + pc.z) < 0)
      std::swap(b, c);
    g.indices.insert(g.indices.end(), {a, b, c});
    g.face_group.push_back(0);
  };
  for (int j = 0; j < stacks; ++j)
    for (int i = 0; i < slices; ++i) {
      if (j != 0) face(index(i, j), index(i + 1, j), index(i + 1, j + 1));
      if (j != stacks - 1) face(index(i, j), index(i + 1, j + 1), index(i, j + 1));
    }
  g.ComputeNormals();
  return g;
}

void BM_BoardOf768Cells(benchmark::State& state) {
  auto target = OffscreenTarget::Create(1024, 768, 16);
  if (!target) {
    state.SkipWithError("no headless GL");
    return;
  }
  target->DoneCurrent();
  Ref<Direct3DRM> rm;
  Direct3DRMCreate(&rm);
  auto d3d_device = MakeRef<Direct3DDevice>(target.get(), false);
  Ref<RMDevice> device;
  rm->CreateDeviceFromD3D(nullptr, d3d_device, &device);
  device->SetQuality(static_cast<D3DRMRENDERQUALITY>(state.range(0)));
  Ref<RMFrame> scene, camera, board, light_frame;
  rm->CreateFrame(nullptr, &scene);
  rm->CreateFrame(scene, &camera);
  camera->SetPosition(scene, 0, 0, -33);
  Ref<RMViewport> viewport;
  rm->CreateViewport(device, camera, 0, 0, 1024, 768, &viewport);
  viewport->SetBack(5000);
  Ref<RMLight> ambient, directional;
  rm->CreateLightRGB(D3DRMLIGHT_AMBIENT, 0.3f, 0.3f, 0.3f, &ambient);
  scene->AddLight(ambient);
  rm->CreateFrame(scene, &light_frame);
  light_frame->SetOrientation(scene, 1, -1, 2, 0, 1, 0);
  rm->CreateLightRGB(D3DRMLIGHT_DIRECTIONAL, 0.9f, 0.9f, 0.9f, &directional);
  light_frame->AddLight(directional);

  Ref<RMMeshBuilder> builder;
  rm->CreateMeshBuilder(&builder);
  builder->SetGeometry(Sphere(0.5f));
  builder->SetQuality(D3DRMRENDER_GOURAUD);
  Ref<RMMesh> mesh;
  builder->CreateMesh(&mesh);
  rm->CreateFrame(scene, &board);
  board->SetRotation(scene, 1, 1, 0, 0.05f);
  std::vector<Ref<RMFrame>> cells;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 32; ++x) {
      Ref<RMFrame> cell;
      rm->CreateFrame(nullptr, &cell);
      cell->SetMaterialMode(D3DRMMATERIAL_FROMFRAME);
      cell->SetColorRGB(0.2f + x / 40.0f, 0.2f + y / 30.0f, 0.6f);
      cell->AddVisual(mesh);
      board->AddChild(cell);
      cell->SetPosition(board, x - 15.5f, y - 11.5f, 0);
      cell->SetRotation(board, 0, 1, 0, 0.0523593351f);
      cells.push_back(cell);
    }

  const double cpu_before = ProcessCpuSeconds();
  for (auto _ : state) {
    scene->Move(1.0f);
    viewport->Clear();
    viewport->Render(scene);
    device->Update();
    glFinish();  // count the drawing, not just the queueing
  }
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["cpu_ms_per_frame"] =
      1000 * (ProcessCpuSeconds() - cpu_before) / static_cast<double>(state.iterations());
  state.counters["faces"] = static_cast<double>(mesh->GetFaceCount());
  target->DoneCurrent();
  viewport.Release();
  device.Release();
}

}  // namespace

BENCHMARK(BM_BoardOf768Cells)
    ->Arg(D3DRMRENDER_FLAT)
    ->Arg(D3DRMRENDER_GOURAUD)
    ->Arg(D3DRMRENDER_WIREFRAME)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_MAIN();
