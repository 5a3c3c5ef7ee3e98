#include "life/world.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/rm/direct3drm.h"
#include "platform/sys/file_problem.h"
#include "settings/render_quality.h"
#include "settings/resolved_options.h"
#include "settings/settings.h"

namespace {

// Longest object path the settings can hold, terminator excluded.
constexpr size_t kPathLimit = 259;

// Paths written on Windows use backslashes; ours use slashes.
std::string FolderOf(const std::string& path) {
  const size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

// The picture says only that something failed; the terminal says which
// file and why.
void ReportUnreadable(const char* what, const std::string& path, const char* otherwise) {
  std::string problem = FileProblem(path);
  if (problem.empty()) problem = otherwise;
  std::fprintf(stderr, "quellar: cannot load the %s \"%s\": %s\n", what, path.c_str(),
               problem.c_str());
}

std::string ObjectPath() {
  const char* name = Resolved.XFileName ? Resolved.XFileName : "";
  return std::string(name, strnlen(name, kPathLimit));
}

}  // namespace

World::World() = default;

World::~World() {
  for (Ref<RMMesh>& mesh : splitMeshes) mesh.Release();
  boardFrame.Release();
  meshBuilder.Release();
  // The Stage part goes next, then the cells with their frames.
}

bool World::InitBoard(int32_t width, int32_t height) {
  if (boardFrame) return false;
  if (graphics.rm) graphics.rm->CreateFrame(sceneFrame, &boardFrame);
  if (boardFrame) {
    boardFrame->SetPosition(sceneFrame, 0, 0, 0);
    boardFrame->SetOrientation(sceneFrame, 0, 0, 1, 0, 1, 0);
  }
  if (cameraFrame) {
    // Back from the board by its width plus one, looking at its centre.
    cameraFrame->SetPosition(sceneFrame, 0, 0, -static_cast<float>(width + 1));
    cameraFrame->SetOrientation(sceneFrame, 0, 0, static_cast<float>(width), 0, 1, 0);
  }
  const bool allocated = Allocate(width, height);
  SetBoardCentre(width, height);
  return allocated;
}

bool World::Resize(int32_t width, int32_t height) {
  if (boardFrame) boardFrame->SetPosition(sceneFrame, 0, 0, static_cast<float>(width + 1));
  const bool allocated = Reallocate(width, height);
  SetBoardCentre(width, height);
  return allocated;
}

void World::SetBoardCentre(int32_t width, int32_t height) {
  boardCentreX = (width + 1) * 0.5;
  boardCentreY = (height + 1) * 0.5;
}

bool World::BuildScene() {
  if (!LoadObject()) {
    ShowCenteredMessage(kXFileLoadFailedMessage);
    return false;
  }
  const bool wrapTexture = LoadTexture();
  meshBuilder->SetQuality(RenderQualityFor(Resolved));
  MakeSplitMeshes(wrapTexture);
  return true;
}

bool World::LoadObject() {
  Direct3DRM* rm = graphics.rm.Get();
  if (!rm) return false;
  const std::string path = ObjectPath();
  // Images that the object file names are found beside it.
  const std::string folder = FolderOf(path);
  if (!folder.empty()) rm->SetSearchPath(folder);
  rm->CreateMeshBuilder(&meshBuilder);
  if (!meshBuilder) return false;
  if (meshBuilder->Load(path)) return true;
  ReportUnreadable("object file", path, "it cannot be read as an .x file with a mesh in it");
  return false;
}

// True when an image file now covers the object and every mesh needs a wrap.
bool World::LoadTexture() {
  const char* name = Resolved.TextureName ? Resolved.TextureName : kNoTextureName;
  // The gradation colours the cells; the object file's own images stay as
  // the file has them.
  if (std::strcmp(name, kNoTextureName) == 0 || std::strcmp(name, kXFileTextureName) == 0) {
    return false;
  }
  Ref<RMTexture> texture;
  graphics.rm->LoadTexture(name, &texture);
  if (!texture) {
    ReportUnreadable("texture", name, "it cannot be read as an image");
    // The object goes plain, so that the frame colours show, rather than
    // keeping images nobody chose.
    meshBuilder->SetTexture(Ref<RMTexture>());
    return false;
  }
  meshBuilder->SetTexture(texture);
  texture.Release();
  return true;
}

void World::MakeSplitMeshes(bool wrapTexture) {
  const uint32_t n = SplitStepCount();
  for (uint32_t i = 0; i < n; ++i) {
    meshBuilder->CreateMesh(&splitMeshes[i]);
    if (!splitMeshes[i]) continue;
    if (wrapTexture) {
      Ref<RMWrap> wrap;
      graphics.rm->CreateWrap(D3DRMWRAP_SPHERE, Ref<RMFrame>(), 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 1,
                              -1, &wrap);
      if (wrap) wrap->Apply(splitMeshes[i]);
    }
    // Mesh i keeps (N - i) / N of the object's volume.
    const double share = static_cast<double>(n - i) / static_cast<double>(n);
    const float s = static_cast<float>(Resolved.XScale * std::cbrt(share));
    splitMeshes[i]->Scale(s, s, s);
  }
}

void World::Restart() {
  if (boardFrame && Resolved.Roll != 2) {
    boardFrame->SetOrientation(sceneFrame, 0, 0, 1, 0, 1, 0);
    if (Resolved.Roll == 1) {
      boardFrame->SetRotation(sceneFrame, 1, 1, 0, static_cast<float>(kPi / 60));
    } else {
      boardFrame->SetRotation(sceneFrame, 0, 0, 0, 0);
    }
  }
  // The turning axis of "GURUGURU" is set every frame by AdvanceRoll.
  LifeBoard::Seed();
}
