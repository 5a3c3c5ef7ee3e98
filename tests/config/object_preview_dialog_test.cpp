#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "config/config_dialog_driver.h"
#include "config/config_dialog_fixture.h"
#include "config/config_dialog_state.h"
#include "config/object_preview.h"
#include "config/object_preview_files.h"
#include "platform/ddraw/direct_draw_surface.h"
#include "platform/dialog/dialog.h"
#include "platform/dialog/file_dialog.h"
#include "resources/control_ids.h"
#include "support/isolated_env.h"

namespace {

using namespace std::chrono_literals;

// The preview in the real dialog, drawn into control 1056 by the dialog's timer.
class ObjectPreviewDialogTest : public ConfigDialogTest {
 protected:
  void SetUp() override {
    ConfigDialogTest::SetUp();
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "control 1056 is a window of the X display";
    SetPreviewAllocationFailsForTesting(false);
    WriteBox(twoUnits, 1, 1, 1);
    WriteSettingsFile("XFileName = sz \"" + twoUnits + "\"\n");
  }
  void TearDown() override {
    SetFileChooserForTesting({});
    ConfigDialogTest::TearDown();
  }

  const std::string dir = MakeTempDir();
  const std::string twoUnits = dir + "/二 units";
};

// Steps run every 40 ms; a load still on its way is finished by ticking.
void Settled() {
  for (int i = 0; i < 500 && Preview->LoadPending(); ++i) {
    std::this_thread::sleep_for(20ms);
    Preview->Tick();
  }
  ASSERT_FALSE(Preview->LoadPending());
}
float ObjectZ() {
  D3DVECTOR position;
  Preview->objectFrame->GetPosition(Preview->sceneFrame, &position);
  return position.z;
}
int LitCount() {
  SurfaceImage image;
  EXPECT_TRUE(Preview->graphics.primary->ReadBack(&image));
  return LitPixels(image).count;
}
// The object is drawn, and the control shows exactly the picture rendered
// for it, not one shifted to where the control was before.
void ExpectObjectInPlace(const char* when) {
  SurfaceImage shown, rendered;
  ASSERT_TRUE(Preview->graphics.primary->ReadBack(&shown));
  ASSERT_TRUE(Preview->graphics.backBuffer->ReadBack(&rendered));
  EXPECT_GT(LitPixels(shown).count, 100) << when;
  EXPECT_TRUE(shown.rgba == rendered.rgba) << when;
}
std::vector<DialogStep> Pause(std::vector<DialogStep> steps, int count = 4) {
  steps.insert(steps.end(), count, [](HWND) {});
  return steps;
}

// The readouts and the place of the object: a 2-unit object at XScale 1.0
// stands at 24 with factor 2.0; a file reaching ±20 is fitted to 0.025 and one
// under a unit to 1.0, both at 12; the redisplay reads the scale back; a file
// that does not load leaves the preview black, without a message.
TEST_F(ObjectPreviewDialogTest, ReadoutsPlaceAndFitTheObject) {
  const std::string large = dir + "/large.x", small = dir + "/small", broken = dir + "/broken.x";
  WriteBox(large, 20, 3, 1);
  WriteBox(small, 0.25, 0.25, 0.25);
  std::vector<std::string> chosen = {large, small, broken};
  SetFileChooserForTesting([&](const FileChooserRequest&) -> std::optional<std::string> {
    const std::string next = chosen.front();
    chosen.erase(chosen.begin());
    return next;
  });
  std::vector<DialogStep> steps = {[](HWND dialog) { SelectTab(dialog, 1); }};
  steps = Pause(steps);
  steps.push_back([](HWND dialog) {
    Settled();
    EXPECT_EQ(Text(dialog, IDC_DISTANCE), "2.0");
    EXPECT_FLOAT_EQ(ObjectZ(), 24.0f);
    Click(dialog, IDC_X_FILE_BROWSE);
    Settled();
    EXPECT_EQ(Text(dialog, IDC_SCALE), "0.025000");
    EXPECT_EQ(Text(dialog, IDC_DISTANCE), "1.0");
    EXPECT_FLOAT_EQ(ObjectZ(), 12.0f);
    Click(dialog, IDC_X_FILE_BROWSE);
    Settled();
    EXPECT_EQ(Text(dialog, IDC_SCALE), "1.000000");
    EXPECT_EQ(Text(dialog, IDC_DISTANCE), "1.0");
  });
  steps = Pause(steps);
  steps.push_back([&](HWND dialog) {
    ExpectObjectInPlace("fitted");
    SetDlgItemText(dialog, IDC_X_FILE, twoUnits.c_str());
    SetDlgItemText(dialog, IDC_SCALE, "1.5");
    Click(dialog, IDC_REDISPLAY);
    Settled();
    EXPECT_EQ(Text(dialog, IDC_DISTANCE), "3.0");
    EXPECT_FLOAT_EQ(ObjectZ(), 36.0f);
    std::ofstream(broken) << "xof 0302txt 0032\nMesh {";
    Click(dialog, IDC_X_FILE_BROWSE);
    Settled();
  });
  steps = Pause(steps);
  steps.push_back([](HWND dialog) {
    EXPECT_EQ(LitCount(), 0);
    Click(dialog, IDCANCEL);
  });
  EXPECT_EQ(RunConfigDialog(0, steps), 0);
}

// The dialog's timer keeps the object turning in place when the dialog moves
// and when the page is switched away and back.
TEST_F(ObjectPreviewDialogTest, KeepsDrawingWhenMovedAndAfterAPageSwitch) {
  WriteSettingsFile("XFileName = sz \"" QUELLAR_SOURCE_DIR "/resources/quellar.x\"\n");
  RECT before{}, moved{};
  std::vector<DialogStep> steps = {[](HWND dialog) { SelectTab(dialog, 1); }};
  steps = Pause(steps);
  steps.push_back([&](HWND dialog) {
    Settled();
    ExpectObjectInPlace("shown");
    GetWindowRect(dialog, &before);
    SetWindowPos(dialog, 0, before.left + 60, before.top + 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  });
  steps = Pause(steps);
  steps.push_back([&](HWND dialog) {
    GetWindowRect(dialog, &moved);
    EXPECT_EQ(moved.left, before.left + 60);
    ExpectObjectInPlace("moved");
    SelectTab(dialog, 0);
  });
  steps = Pause(steps);
  steps.push_back([](HWND dialog) { SelectTab(dialog, 1); });
  steps = Pause(steps);
  steps.push_back([](HWND dialog) {
    ExpectObjectInPlace("back on the page");
    const double angle = Preview->colourCycleAngle;
    Preview->Tick();
    EXPECT_GT(Preview->colourCycleAngle, angle);
    Click(dialog, IDOK);
  });
  EXPECT_EQ(RunConfigDialog(0, steps), 1);
}

// Not a check: prints how long a tick holds up the dialog and how late the
// dialog's other events (40 ms script steps standing in for clicks) come
// while the preview draws. Run with --gtest_also_run_disabled_tests, the
// object in QUELLAR_MEASURE_X.
TEST_F(ObjectPreviewDialogTest, DISABLED_MeasureTicks) {
  const char* file = std::getenv("QUELLAR_MEASURE_X");
  WriteSettingsFile("XFileName = sz \"" + std::string(file ? file : "") + "\"\n");
  using Clock = std::chrono::steady_clock;
  std::vector<double> ticks, lateness;
  Clock::time_point last;
  size_t faces = 0;
  std::vector<DialogStep> steps = {[](HWND dialog) { SelectTab(dialog, 1); }};
  steps = Pause(steps);
  double clickMs = 0, loadMs = 0;
  steps.push_back([&](HWND dialog) {
    Settled();
    const auto start = Clock::now();
    Click(dialog, IDC_REDISPLAY);
    clickMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    Settled();
    loadMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    faces = Preview->mesh ? Preview->mesh->GetFaceCount() : 0;
    last = Clock::now();
  });
  for (int i = 0; i < 100; ++i)
    steps.push_back([&, i](HWND) {
      const auto now = Clock::now();
      lateness.push_back(std::chrono::duration<double, std::milli>(now - last).count() - 40);
      last = now;
      if (i % 4 == 0) {
        Preview->Tick();
        ticks.push_back(std::chrono::duration<double, std::milli>(Clock::now() - now).count());
        last = Clock::now();
      }
    });
  steps.push_back([](HWND dialog) { Click(dialog, IDCANCEL); });
  RunConfigDialog(0, steps);
  std::sort(ticks.begin(), ticks.end());
  std::sort(lateness.begin(), lateness.end());
  std::printf("%zu faces: tick median %.1f ms, max %.1f ms; events late by median %.1f ms, "
              "max %.1f ms; redisplay click %.1f ms, object shown after %.1f ms\n", faces, ticks[ticks.size() / 2],
              ticks.back(), lateness[lateness.size() / 2], lateness.back(), clickMs, loadMs);
}

}  // namespace
