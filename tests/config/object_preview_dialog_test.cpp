#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "config/config_dialog_driver.h"
#include "config/config_dialog_state.h"
#include "config/object_preview.h"
#include "config/object_preview_files.h"
#include "platform/ddraw/direct_draw_surface.h"
#include "platform/dialog/dialog.h"
#include "platform/dialog/file_dialog.h"
#include "resources/control_ids.h"
#include "support/isolated_env.h"

namespace {

// The preview in the real dialog, drawn into control 1056 on the dialog's timer.
class ObjectPreviewDialogTest : public ConfigDialogTest {
 protected:
  void SetUp() override {
    ConfigDialogTest::SetUp();
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "control 1056 is a window of the X display";
    SetPreviewAllocationFailsForTesting(false);
    WriteBox(twoUnits, 1, 1, 1);
  }
  void TearDown() override {
    SetFileChooserForTesting({});
    ConfigDialogTest::TearDown();
  }
  const std::string dir = MakeTempDir();
  const std::string twoUnits = dir + "/二 units";
};

float ObjectZ() {
  D3DVECTOR position;
  Preview->objectFrame->GetPosition(Preview->sceneFrame, &position);
  return position.z;
}
// The object is drawn, and the control shows exactly the picture rendered
// for it, not one shifted to where the control was before; on a busy machine
// the dialog's next tick may still be to come.
void ExpectObjectInPlace(HWND dialog, const char* when) {
  SurfaceImage shown, rendered;
  const bool inPlace = WaitFor(dialog, [&] {
    return Preview->graphics.primary->ReadBack(&shown) &&
           Preview->graphics.backBuffer->ReadBack(&rendered) && LitPixels(shown) > 100 &&
           shown.rgba == rendered.rgba;
  });
  EXPECT_TRUE(inPlace) << when << ": " << LitPixels(shown) << " lit pixels";
}
// Each step, then some 160 ms of the dialog's own ticking.
intptr_t RunPaced(std::vector<DialogStep> steps) {
  std::vector<DialogStep> paced;
  for (DialogStep& step : steps) {
    paced.push_back(std::move(step));
    paced.insert(paced.end(), 4, [](HWND) {});
  }
  return RunConfigDialog(0, paced);
}

// A 2-unit object at XScale 1.0 stands at 24 with factor 2.0 and keeps turning
// in place when the dialog moves and after a page switch; a file reaching
// ±20 is fitted to 0.025 and one under a unit to 1.0, both at 12; redisplay
// reads the scale back, a huge one included; a file that does not load leaves the preview black
// and shows no message.
TEST_F(ObjectPreviewDialogTest, ReadoutsPlaceAndFitTheObjectWhichKeepsDrawing) {
  WriteSettingsFile("XFileName = sz \"" + twoUnits + "\"\n");
  const std::string large = dir + "/large.x", small = dir + "/small", broken = dir + "/broken.x";
  WriteBox(large, 20, 3, 1);
  WriteBox(small, 0.25, 0.25, 0.25);
  std::ofstream(broken) << "xof 0302txt 0032\nMesh {";
  std::vector<std::string> chosen = {large, small, broken};
  SetFileChooserForTesting([&](const FileChooserRequest&) -> std::optional<std::string> {
    const std::string next = chosen.front();
    chosen.erase(chosen.begin());
    return next;
  });
  RECT before{};
  double angle = 0;
  const intptr_t result = RunPaced({
      [](HWND dialog) { SelectTab(dialog, 1); },
      [&](HWND dialog) {
        Settle(*Preview);
        EXPECT_EQ(Text(dialog, IDC_DISTANCE), "2.0");
        EXPECT_FLOAT_EQ(ObjectZ(), 24.0f);
        ExpectObjectInPlace(dialog, "shown");
        GetWindowRect(dialog, &before);
        SetWindowPos(dialog, 0, before.left + 60, before.top + 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      },
      [&](HWND dialog) {
        ExpectObjectInPlace(dialog, "moved");
        SelectTab(dialog, 0);
        angle = Preview->colourCycleAngle;
      },
      [](HWND dialog) { SelectTab(dialog, 1); },
      [&](HWND dialog) {
        ExpectObjectInPlace(dialog, "back on the page");
        EXPECT_GT(Preview->colourCycleAngle, angle);
        Click(dialog, IDC_X_FILE_BROWSE);
        Settle(*Preview);
        EXPECT_EQ(Text(dialog, IDC_SCALE), "0.025000");
        EXPECT_EQ(Text(dialog, IDC_DISTANCE), "1.0");
        EXPECT_FLOAT_EQ(ObjectZ(), 12.0f);
        Click(dialog, IDC_X_FILE_BROWSE);
        Settle(*Preview);
        EXPECT_EQ(Text(dialog, IDC_SCALE), "1.000000");
        EXPECT_EQ(Text(dialog, IDC_DISTANCE), "1.0");
      },
      [&](HWND dialog) {
        ExpectObjectInPlace(dialog, "fitted");
        SetDlgItemText(dialog, IDC_X_FILE, twoUnits.c_str());
        SetDlgItemText(dialog, IDC_SCALE, "1.5");
        Click(dialog, IDC_REDISPLAY);
        Settle(*Preview);
        EXPECT_EQ(Text(dialog, IDC_DISTANCE), "3.0");
        EXPECT_FLOAT_EQ(ObjectZ(), 36.0f);
        // However large the scale typed, the object stands in front of the camera.
        SetDlgItemText(dialog, IDC_SCALE, "1e39");
        Click(dialog, IDC_REDISPLAY);
        Settle(*Preview);
        EXPECT_EQ(Text(dialog, IDC_DISTANCE), "1000000.0");
        EXPECT_GE(ObjectZ(), 12.0f);
        Click(dialog, IDC_X_FILE_BROWSE);
        Settle(*Preview);
      },
      [](HWND dialog) {
        SurfaceImage shown;
        ASSERT_TRUE(Preview->graphics.primary->ReadBack(&shown));
        EXPECT_EQ(LitPixels(shown), 0);
        Click(dialog, IDCANCEL);
      },
  });
  EXPECT_EQ(result, 0);
}

}  // namespace
