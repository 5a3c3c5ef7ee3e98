#include "config/object_preview.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "config/load_job.h"
#include "platform/dialog/dialog.h"
#include "resources/control_ids.h"
#include "settings/render_quality.h"

namespace {

constexpr double kPi = 3.14159265359;
// Three degrees a tick: one turn in 120 ticks.
constexpr double kSpinPerTick = kPi / 60;
constexpr double kColourStep = 5 * kPi / 180;
// A common multiple of the three colour periods 2π, 5π and 7π.
constexpr double kColourCycleEnd = 1750 * kPi;
constexpr int kPathBufferSize = 260;
// A factor this large already puts the object far beyond the back of the view.
constexpr double kLargestFactor = 1e6;

// The folder part of a path, or empty when it has none. Paths written on
// Windows separate folders with a backslash.
std::string FolderOf(const char* path) {
  char buffer[kPathBufferSize];
  std::snprintf(buffer, sizeof buffer, "%s", path);
  char* cut = nullptr;
  for (char* p = buffer; *p; ++p)
    if (*p == '\\' || *p == '/') cut = p;
  if (!cut) return {};
  *cut = '\0';
  return buffer;
}

// The whole number of steps of 12 units that keeps an object of this extent in
// view. A scale typed as "1e39" or "nan" must not turn into an integer that
// does not exist.
int DistanceFactor(double extent) {
  const double factor = std::ceil(extent * 0.2);
  if (!(factor >= 0)) return 0;
  return int(std::fmin(factor, kLargestFactor));
}

}  // namespace

ObjectPreview::ObjectPreview(const SettingsRecord& working, const HWND& dialog)
    : working_(working), dialog_(dialog) {}

ObjectPreview::~ObjectPreview() {
  pendingLoad_.reset();
  pendingTexture_.reset();
  texture.Release();
  mesh.Release();
  meshBuilder.Release();
  objectFrame.Release();
}

double ObjectPreview::BoxExtent(const D3DRMBOX& box) {
  double extent = std::fabs(box.min.x);
  extent = std::fmax(extent, std::fabs(box.min.y));
  extent = std::fmax(extent, std::fabs(box.max.x));
  return std::fmax(extent, std::fabs(box.max.y));
}

bool ObjectPreview::UsesTextureFile() const {
  return std::strcmp(working_.TextureName, kXFileTextureName) != 0;
}

void ObjectPreview::SetReadout(uint32_t id, const char* text) {
  SetDlgItemText(dialog_, int(id), text);
}

bool ObjectPreview::Prepare() {
  Direct3DRM* rm = graphics.rm.Get();
  if (!rm || !sceneFrame || !cameraFrame) return false;
  // Images named inside the .x file are found beside the file the dialog
  // opened with; a file chosen later keeps this folder.
  const std::string folder = FolderOf(Settings.XFileName);
  if (!folder.empty()) rm->SetSearchPath(folder);
  rm->CreateFrame(sceneFrame, &objectFrame);
  if (!objectFrame) return false;
  if (working_.TextureFlag && UsesTextureFile() &&
      !rm->LoadTexture(working_.TextureName, &texture))
    return false;
  Reload();
  objectFrame->SetRotation(sceneFrame, 0, 1, 0, float(kSpinPerTick));
  cameraFrame->SetPosition(sceneFrame, 0, 0, 0);
  cameraFrame->SetOrientation(sceneFrame, 0, 0, 1, 0, 1, 0);
  return true;
}

bool ObjectPreview::Reload() {
  if (!objectFrame) return false;
  return StartLoad(LoadPurpose::kReload);
}

bool ObjectPreview::LoadFitted() {
  if (!objectFrame) return false;
  return StartLoad(LoadPurpose::kFit);
}

void ObjectPreview::DropObject() {
  // A load still on its way would bring back the object being replaced.
  pendingLoad_.reset();
  pendingBuilder_.Release();
  if (mesh) objectFrame->DeleteVisual(mesh);
  meshBuilder.Release();
  mesh.Release();
}

bool ObjectPreview::StartLoad(LoadPurpose purpose) {
  DropObject();
  Ref<RMMeshBuilder> builder;
  if (!graphics.rm->CreateMeshBuilder(&builder)) return false;
  pendingLoad_ = std::make_unique<LoadJob>(
      [builder, file = std::string(working_.XFileName)] { return builder->Load(file); });
  pendingBuilder_ = builder;
  pendingPurpose_ = purpose;
  return FinishLoad(kLoadWaitMilliseconds);
}

// False when the file did not load; true when the object is shown or still
// on its way.
bool ObjectPreview::FinishLoad(uint32_t waitMilliseconds) {
  if (!pendingLoad_->WaitFor(waitMilliseconds)) return true;
  const std::unique_ptr<LoadJob> job = std::move(pendingLoad_);
  meshBuilder = std::move(pendingBuilder_);
  fileImages_.clear();
  imagesCovered_ = false;
  // The object frame stays without a visual: the preview shows the empty scene.
  if (!job->Succeeded()) return false;
  for (const MeshGroup& group : meshBuilder->Geometry().groups) fileImages_.push_back(group.texture);
  if (pendingPurpose_ == LoadPurpose::kFit)
    FinishFit();
  else
    FinishReload();
  return true;
}

void ObjectPreview::FinishReload() {
  meshBuilder->SetQuality(RenderQualityFor(working_));
  const float scale = working_.XScale * 10;
  meshBuilder->Scale(scale, scale, scale);
  BuildMesh();
  if (!mesh) return;
  D3DRMBOX box;
  mesh->GetBox(&box);
  const int factor = DistanceFactor(BoxExtent(box));
  char text[32];
  std::snprintf(text, sizeof text, "%d.0", factor);
  SetReadout(IDC_DISTANCE, text);
  objectFrame->SetPosition(sceneFrame, 0, 0, float(12 * factor));
  objectFrame->AddVisual(mesh);
}

void ObjectPreview::FinishFit() {
  D3DRMBOX box;
  meshBuilder->GetBox(&box);
  const double width = 2 * BoxExtent(box);
  const double fitted = width > 1.0 ? 1 / width : 1.0;
  const double scale = fitted * 10;
  meshBuilder->Scale(float(scale), float(scale), float(scale));
  char text[64];
  std::snprintf(text, sizeof text, "%lf", scale * 0.1);
  SetReadout(IDC_SCALE, text);
  std::snprintf(text, sizeof text, "%d.0", 1);
  SetReadout(IDC_DISTANCE, text);
  objectFrame->SetPosition(sceneFrame, 0, 0, 12.0f);
  Rebuild();
}

void ObjectPreview::Rebuild() {
  if (!objectFrame || !meshBuilder) return;
  if (mesh) {
    objectFrame->DeleteVisual(mesh);
    mesh.Release();
  }
  meshBuilder->SetQuality(RenderQualityFor(working_));
  BuildMesh();
  if (mesh) objectFrame->AddVisual(mesh);
}

void ObjectPreview::BuildMesh() {
  mesh.Release();
  if (!working_.TextureFlag) {
    // The colour that Tick gives the frame colours the object.
    objectFrame->SetMaterialMode(D3DRMMATERIAL_FROMFRAME);
    meshBuilder->CreateMesh(&mesh);
    return;
  }
  objectFrame->SetMaterialMode(D3DRMMATERIAL_FROMMESH);
  if (!UsesTextureFile()) {
    // The materials and images the .x file names.
    RestoreFileImages();
    meshBuilder->CreateMesh(&mesh);
    return;
  }
  meshBuilder->SetTexture(texture);
  imagesCovered_ = true;
  meshBuilder->CreateMesh(&mesh);
  Ref<RMWrap> wrap;
  graphics.rm->CreateWrap(D3DRMWRAP_SPHERE, Ref<RMFrame>(), 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 1,
                          -1, &wrap);
  if (wrap && mesh) wrap->Apply(mesh);
  wrap.Release();
}

// A texture file chosen earlier still covers every face of the builder; the
// choice of the file's own images must show them again, as the saver would.
void ObjectPreview::RestoreFileImages() {
  if (!imagesCovered_) return;
  MeshGeometry geometry = meshBuilder->Geometry();
  for (size_t i = 0; i < geometry.groups.size() && i < fileImages_.size(); ++i)
    geometry.groups[i].texture = fileImages_[i];
  meshBuilder->SetGeometry(std::move(geometry));
  imagesCovered_ = false;
}

bool ObjectPreview::ChangeTexture() {
  if (!objectFrame) return false;
  texture.Release();
  pendingTexture_.reset();
  if (!working_.TextureFlag || !UsesTextureFile()) {
    Rebuild();
    return true;
  }
  // A big image takes seconds to decode.
  auto image = std::make_shared<Ref<RMTexture>>();
  pendingTexture_ = std::make_unique<LoadJob>(
      [rm = graphics.rm, name = std::string(working_.TextureName), image] {
        return rm->LoadTexture(name, image.get());
      });
  pendingImage_ = image;
  return FinishTexture(kLoadWaitMilliseconds);
}

// False when the image cannot be used: the object keeps its look. True when
// it is on the object or still on its way.
bool ObjectPreview::FinishTexture(uint32_t waitMilliseconds) {
  if (!pendingTexture_->WaitFor(waitMilliseconds)) return true;
  const bool loaded = pendingTexture_->Succeeded();
  pendingTexture_.reset();
  const std::shared_ptr<Ref<RMTexture>> image = std::move(pendingImage_);
  if (!loaded) return false;
  texture = *image;
  Rebuild();
  return true;
}

void ObjectPreview::ApplyRendering() {
  Rebuild();
}

void ObjectPreview::Tick() {
  if (pendingLoad_) FinishLoad(0);
  if (pendingTexture_) FinishTexture(0);
  if (objectFrame && !working_.TextureFlag) {
    colourCycleAngle += kColourStep;
    if (colourCycleAngle > kColourCycleEnd) colourCycleAngle = 0;
    const double a = colourCycleAngle;
    objectFrame->SetColorRGB(float(0.4 * (std::cos(a) + 1.5)), float(0.4 * (std::cos(0.4 * a) + 1.5)),
                             float(0.4 * (std::cos(a * 2 / 7) + 1.5)));
  }
  RenderFrame();
}
