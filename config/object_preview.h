#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/ref.h"
#include "platform/rm/direct3drm.h"
#include "platform/sys/types.h"
#include "settings/settings.h"
#include "stage/stage.h"

class LoadJob;

// The display object turning in the display page's preview control: a Stage
// opened windowed on control 1056 with one more frame that carries the
// object. The dialog sets it up, ticks it every 100 ms and calls it whenever
// the object, its texture, its scale or the rendering style changes.
//
// It reads the dialog's working settings at each use, and the Settings record
// for the object file the dialog opened with. A load that takes longer than a
// moment goes on behind the dialog and is finished by a later Tick.
class ObjectPreview : public Stage {
 public:
  ObjectPreview(const SettingsRecord& working, const HWND& dialog);
  ~ObjectPreview() override;

  bool Prepare();
  bool Reload();
  bool LoadFitted();
  bool ChangeTexture();
  void ApplyRendering();
  void Tick();

  // The largest of |x| and |y| over both corners; z does not count.
  static double BoxExtent(const D3DRMBOX& box);

  // True while an .x file or a texture image is still being read.
  bool LoadPending() const { return pendingLoad_ || pendingTexture_; }
  // How long a read may hold up the dialog before it carries on behind it.
  static constexpr uint32_t kLoadWaitMilliseconds = 100;

  Ref<RMMeshBuilder> meshBuilder;
  Ref<RMMesh> mesh;
  Ref<RMFrame> objectFrame;
  Ref<RMTexture> texture;
  double colourCycleAngle = 0.0;

 private:
  enum class LoadPurpose { kReload, kFit };

  void Rebuild();
  void BuildMesh();
  void DropObject();
  bool StartLoad(LoadPurpose purpose);
  bool FinishLoad(uint32_t waitMilliseconds);
  bool FinishTexture(uint32_t waitMilliseconds);
  void FinishReload();
  void FinishFit();
  bool UsesTextureFile() const;
  void SetReadout(uint32_t id, const char* text);
  void RestoreFileImages();

  const SettingsRecord& working_;
  const HWND& dialog_;
  std::unique_ptr<LoadJob> pendingLoad_;
  Ref<RMMeshBuilder> pendingBuilder_;
  std::unique_ptr<LoadJob> pendingTexture_;
  std::shared_ptr<Ref<RMTexture>> pendingImage_;
  LoadPurpose pendingPurpose_ = LoadPurpose::kReload;
  // The images the .x file gives its material groups, and whether a texture
  // file has covered them since.
  std::vector<Ref<RMTexture>> fileImages_;
  bool imagesCovered_ = false;
};
