#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "life/world.h"
#include "platform/ddraw/offscreen_window.h"
#include "platform/rm/frame.h"
#include "settings/random_generator.h"
#include "settings/resolved_options.h"
#include "settings/settings.h"

// A World on a small offscreen window, built in the saver's order, with the
// default object and the options of each test. Every test leaves the
// process-wide options as it found them.
class WorldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = Resolved;
    Resolved = ResolvedOptionsRecord{};
    Resolved.Generations = 20;
    Resolved.LocusOfSplit = 9;
    // Full screen: an offscreen window has the picture of a display mode.
    Resolved.ScreenMode = 1;
    Resolved.ScreenColor = 3;
    Resolved.Rendering = 1;
    Resolved.XScale = 1.0f;
    Resolved.XFileName = kDefaultObject;
    Resolved.TextureName = kNoTextureName;
    Resolved.DDDriverName = "";
    Resolved.D3DDriverName = "Auto";
    SeedRandom(1);
  }
  void TearDown() override {
    world_.reset();
    if (window_) DestroyOffscreenWindow(window_);
    Resolved = saved_;
  }

  // Builds the World; false when the Stage could not open or the object did
  // not load.
  bool Build(int32_t width, int32_t height, int pictureWidth = 640, int pictureHeight = 480) {
    Resolved.BoardWidth = width;
    Resolved.BoardHeight = height;
    Resolved.TextureFlag = std::string(Resolved.TextureName) != kNoTextureName;
    window_ = CreateOffscreenWindow(pictureWidth, pictureHeight);
    Resolved.WindowRect = RECT{0, 0, pictureWidth, pictureHeight};
    world_.reset(MakeWorld());
    if (!world_->Create(window_) || !world_->SetUpScene()) return false;
    if (!world_->InitBoard(width, height)) return false;
    return world_->BuildScene();
  }

  World& world() { return *world_; }
  virtual World* MakeWorld() { return new World; }

  // An empty board with only the given cells alive now.
  void ClearBoard() {
    for (int32_t y = 1; y <= world().Height(); ++y) {
      for (int32_t x = 1; x <= world().Width(); ++x) {
        SceneCell& cell = world().CellAt(x, y);
        cell.history = 0;
        cell.splitParent = nullptr;
        cell.splitParentFlag = false;
      }
    }
    world().HideAllCells();
  }

  // The cell's place in board-frame coordinates.
  D3DVECTOR PositionOf(SceneCell& cell) {
    D3DVECTOR p;
    cell.frame->GetPosition(world().boardFrame, &p);
    return p;
  }

  static constexpr const char* kDefaultObject = QUELLAR_SOURCE_DIR "/resources/quellar.x";

 private:
  ResolvedOptionsRecord saved_{};
  HWND window_ = 0;
  std::unique_ptr<World> world_;
};
