// quellar-render: the saver's World, generations and frames, run headless and
// as fast as the frames can be drawn. It shows what the saver would show for
// given settings and seed, writes frames as pictures, prints the boards and
// measures the frame rate.

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

#include "life/generation.h"
#include "life/world.h"
#include "platform/win/offscreen_window.h"
#include "quellar_render/frame_png.h"
#include "quellar_render/render_options.h"
#include "quellar_render/settings_overrides.h"
#include "settings/random_generator.h"
#include "settings/resolved_options.h"
#include "settings/settings.h"
#include "stage/graphics_context.h"

namespace {

constexpr int kExitObjectFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitStageFailed = 3;

void PrintBoard(World& world, uint64_t generation) {
  std::printf("generation %llu\n", static_cast<unsigned long long>(generation));
  std::string row;
  for (int32_t y = 1; y <= world.Height(); ++y) {
    row.clear();
    for (int32_t x = 1; x <= world.Width(); ++x)
      row += (world.CellAt(x, y).history & 1) ? '#' : '.';
    std::printf("%s\n", row.c_str());
  }
}

// What the tool adds to each generation: a frame budget instead of pacing,
// pictures instead of a window, boards on the standard output.
class RenderHooks : public GenerationHooks {
 public:
  explicit RenderHooks(const RenderOptions& options) : options_(options) {}

  bool FrameStarting(World& world, uint32_t) override {
    if (options_.frames && framesShown_ >= *options_.frames) return false;
    if (Resolved.FPS != 0 && options_.render) DrawRate(world);
    return true;
  }
  bool DrawFrame(World& world) override {
    if (!options_.render) return true;
    if (!world.RenderFrame()) return false;
    const uint64_t number = framesShown_ + 1;
    if (!options_.pngFolder.empty() && number % options_.every == 0) {
      char name[32];
      std::snprintf(name, sizeof(name), "frame-%06llu.png",
                    static_cast<unsigned long long>(number));
      const std::string path = (std::filesystem::path(options_.pngFolder) / name).string();
      if (!WritePresentedFrame(world, path))
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
    }
    return true;
  }
  void FrameShown(World&) override { ++framesShown_; }
  void StepTaken(World& world, bool goesOn) override {
    ++steps_;
    if (!options_.printBoard) return;
    PrintBoard(world, ++boardsPrinted_);
    if (!goesOn) std::printf("run ended\n");
  }
  void RunEnded(World& world) override {
    if (options_.printBoard) PrintBoard(world, ++boardsPrinted_);
  }
  void BoardSeeded(World& world) {
    if (options_.printBoard) PrintBoard(world, boardsPrinted_);
  }

  bool WantsMore() const {
    if (options_.frames && framesShown_ >= *options_.frames) return false;
    return !options_.generations || steps_ < *options_.generations;
  }
  uint64_t FramesShown() const { return framesShown_; }

 private:
  // With FPS on, the frame rate so far goes over the picture as the saver puts
  // its figure there; it changes once a second.
  void DrawRate(World& world) {
    const auto now = std::chrono::steady_clock::now();
    if (framesShown_ == 0) start_ = now;
    if (rateText_.empty() || now - rateShown_ >= std::chrono::seconds(1)) {
      const double seconds = std::chrono::duration<double>(now - start_).count();
      char text[20];
      std::snprintf(text, sizeof text, "%6.2lf", seconds > 0 ? double(framesShown_) / seconds : 0);
      rateText_ = text;
      rateShown_ = now;
    }
    world.graphics.DrawOverlayText(0, 0, rateText_.c_str());
  }

  const RenderOptions& options_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point rateShown_;
  std::string rateText_;
  uint64_t framesShown_ = 0;
  uint64_t steps_ = 0;
  uint64_t boardsPrinted_ = 0;
};

// The window's rectangle is what the options record for the run; a headless
// window sits at the origin.
RECT PictureRect(const RenderOptions& options) {
  RECT rect;
  if (Resolved.ScreenMode != 0 && Resolved.ScreenMode < 4) {
    rect.right = kScreenModeTable[Resolved.ScreenMode].width;
    rect.bottom = kScreenModeTable[Resolved.ScreenMode].height;
  } else {
    rect.right = options.width;
    rect.bottom = options.height;
  }
  return rect;
}

// Our own arguments can hold " /p" or " /l" (a folder such as /local), which the
// saver takes for a preview start; this tool never is one.
void UndoPreviewFromArguments() {
  if (!Resolved.PreviewMode) return;
  Resolved.PreviewMode = false;
  Resolved.ScreenMode = GetPlatformClass() == kPlatformWindowsNT4 ? 0 : Settings.ScreenMode;
}

class OffscreenWindow {
 public:
  OffscreenWindow(int width, int height) : window_(CreateOffscreenWindow(width, height)) {}
  ~OffscreenWindow() {
    if (window_) DestroyOffscreenWindow(window_);
  }
  OffscreenWindow(const OffscreenWindow&) = delete;
  OffscreenWindow& operator=(const OffscreenWindow&) = delete;
  HWND Get() const { return window_; }

 private:
  HWND window_;
};

int Run(const RenderOptions& options) {
  std::string error;
  if (!LoadRenderSettings(options.overrides, &error)) {
    std::fprintf(stderr, "quellar-render: %s\n", error.c_str());
    return kExitUsage;
  }
  SeedRandom(options.seed ? *options.seed : static_cast<uint32_t>(std::time(nullptr)));

  // Resolving needs the window's rectangle and the window needs the resolved
  // mode, as in the saver: resolve with the rectangle the mode will give.
  const RECT rect = PictureRect(options);
  ResolveOptions(rect);
  UndoPreviewFromArguments();
  const RECT picture = PictureRect(options);
  Resolved.WindowRect = picture;

  if (!options.pngFolder.empty()) std::filesystem::create_directories(options.pngFolder);
  OffscreenWindow window(picture.right, picture.bottom);
  std::unique_ptr<World> world(new World);
  if (!window.Get() || !world->Create(window.Get()) || !world->SetUpScene() ||
      !world->InitBoard(Resolved.BoardWidth, Resolved.BoardHeight)) {
    std::fprintf(stderr, "quellar-render: the 3-D stage could not be opened\n");
    return kExitStageFailed;
  }
  if (!world->BuildScene()) {
    std::fprintf(stderr, "%s\n", kXFileLoadFailedMessage);
    return kExitObjectFailed;
  }

  RenderHooks hooks(options);
  hooks.BoardSeeded(*world);
  const auto start = std::chrono::steady_clock::now();
  while (hooks.WantsMore() && RunGeneration(*world, hooks)) {
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double fps = seconds > 0 ? static_cast<double>(hooks.FramesShown()) / seconds : 0.0;
  std::printf("frames=%llu seconds=%.3f fps=%.2f\n",
              static_cast<unsigned long long>(hooks.FramesShown()), seconds, fps);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  RenderOptions options;
  std::string error;
  if (!ParseRenderOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "quellar-render: %s\n%s", error.c_str(), kRenderUsage);
    return kExitUsage;
  }
  if (options.help) {
    std::fputs(kRenderUsage, stdout);
    return 0;
  }
  return Run(options);
}
