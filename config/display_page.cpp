#include "config/display_page.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "config/config_dialog_state.h"
#include "config/file_chooser.h"
#include "config/object_preview.h"
#include "platform/ddraw/direct3d.h"
#include "platform/ddraw/direct_draw.h"
#include "platform/dialog/common_controls.h"
#include "platform/dialog/dialog.h"
#include "resources/control_ids.h"

namespace {

constexpr char kXFileFilter[] = "X ﾌｧｲﾙ(*.x)\0*.x\0すべてのﾌｧｲﾙ(*.*)\0*.*\0";
constexpr char kTextureFilter[] =
    "ﾃｸｽﾁｬ ﾌｧｲﾙ(*.bmp,*.ppm)\0*.bmp;*.ppm\0すべてのﾌｧｲﾙ(*.*)\0*.*\0";
constexpr int kScaleTextLimit = 20;  // atof reads the first 19 characters

// What the scale box showed when the page was loaded, and the value behind it.
char shownScale[64];
float loadedScale = 0.0f;

void AppendEntry(HWND dialog, uint32_t id, const char* text) {
  SendDlgItemMessage(dialog, int(id), CB_INSERTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(text));
}

bool SelectEntryStartingWith(HWND dialog, uint32_t id, const char* text) {
  return SendDlgItemMessage(dialog, int(id), CB_SELECTSTRING, WPARAM(-1),
                            reinterpret_cast<LPARAM>(text)) != CB_ERR;
}

bool AddDirectDrawDriver(const GUID*, const char*, const char* name, void* dialog) {
  AppendEntry(*static_cast<HWND*>(dialog), IDC_DDRAW_DRIVER, name);
  return true;
}

bool AddDirect3DDevice(const GUID*, const char*, const char* name, const D3DDEVICEDESC*,
                       const D3DDEVICEDESC*, void* dialog) {
  AppendEntry(*static_cast<HWND*>(dialog), IDC_D3D_DRIVER, name);
  return true;
}

void FillDriverLists(HWND dialog) {
  if (Preview != nullptr) DirectDrawEnumerateA(&AddDirectDrawDriver, &dialog);
  if (WorkingSettings.DDDriverName[0] != '\0') {
    SelectEntryStartingWith(dialog, IDC_DDRAW_DRIVER, WorkingSettings.DDDriverName);
  } else {
    SendDlgItemMessage(dialog, IDC_DDRAW_DRIVER, CB_SETCURSEL, 0, 0);
  }
  AppendEntry(dialog, IDC_D3D_DRIVER, "Auto");
  if (Preview != nullptr && Preview->graphics.direct3D) {
    Preview->graphics.direct3D->EnumDevices(&AddDirect3DDevice, &dialog);
  }
  SelectEntryStartingWith(dialog, IDC_D3D_DRIVER, WorkingSettings.D3DDriverName);
}

void CheckGroup(HWND dialog, uint32_t first, uint32_t count, uint32_t value) {
  for (uint32_t i = 0; i < count; ++i) {
    CheckDlgButton(dialog, int(first + i), i == value ? BST_CHECKED : BST_UNCHECKED);
  }
}

// The scale as the box gives it: atof of its first 19 characters, except that
// a text left as it was shown keeps the stored value, which six decimals may
// not carry.
float ScaleFromField(HWND dialog) {
  char text[kScaleTextLimit];
  GetDlgItemText(dialog, IDC_SCALE, text, sizeof text);
  char whole[sizeof shownScale];
  GetDlgItemText(dialog, IDC_SCALE, whole, sizeof whole);
  if (std::strcmp(whole, shownScale) == 0) return loadedScale;
  return float(std::atof(text));
}

void SetTextureFlag() {
  WorkingSettings.TextureFlag = std::strcmp(WorkingSettings.TextureName, kNoTextureName) != 0;
}

void TexturePicked(HWND dialog, uint32_t, uintptr_t, uint32_t) {
  char text[sizeof WorkingSettings.TextureName];
  GetDlgItemText(dialog, IDC_TEXTURE, text, sizeof text);
  if (std::strcmp(text, WorkingSettings.TextureName) != 0) {
    std::memcpy(WorkingSettings.TextureName, text, sizeof text);
    SetTextureFlag();
    if (Preview != nullptr) Preview->ChangeTexture();
  }
  KillTimer(dialog, kTexturePickTimerId);
}

void ChooseXFile(HWND dialog) {
  char path[sizeof WorkingSettings.XFileName];
  if (!ChooseFile(dialog, WorkingSettings.XFileName, kXFileFilter, path, sizeof path)) return;
  std::memcpy(WorkingSettings.XFileName, path, sizeof path);
  SetDlgItemText(dialog, IDC_X_FILE, path);
  if (Preview != nullptr) Preview->LoadFitted();
}

void ChooseTexture(HWND dialog) {
  // After a fixed entry the chooser opens in the .x file's folder.
  const char* start = std::strchr(WorkingSettings.TextureName, '.') != nullptr
                          ? WorkingSettings.TextureName
                          : WorkingSettings.XFileName;
  char path[sizeof WorkingSettings.TextureName];
  if (!ChooseFile(dialog, start, kTextureFilter, path, sizeof path)) return;
  std::memcpy(WorkingSettings.TextureName, path, sizeof path);
  SetDlgItemText(dialog, IDC_TEXTURE, path);
  WorkingSettings.TextureFlag = true;
  if (Preview != nullptr) Preview->ChangeTexture();
}

void Redisplay(HWND dialog) {
  WorkingSettings.XScale = ScaleFromField(dialog);
  GetDlgItemText(dialog, IDC_X_FILE, WorkingSettings.XFileName, sizeof WorkingSettings.XFileName);
  if (Preview != nullptr) Preview->Reload();
}

}  // namespace

void ApplyColourDepthEnabling(HWND dialog, bool windowed) {
  EnableWindow(GetDlgItem(dialog, IDC_DEPTH_GROUP), !windowed);
  for (uint32_t i = 0; i < 4; ++i) EnableWindow(GetDlgItem(dialog, int(IDC_DEPTH_FIRST + i)), !windowed);
}

void LoadDisplayPage(HWND dialog) {
  const SettingsRecord& working = WorkingSettings;
  FillDriverLists(dialog);
  CheckGroup(dialog, IDC_SCREEN_WINDOW, 4, working.ScreenMode);
  CheckGroup(dialog, IDC_DEPTH_FIRST, 4, working.ScreenColor);
  CheckGroup(dialog, IDC_RENDERING_FIRST, 3, working.Rendering);
  SetDlgItemText(dialog, IDC_X_FILE, working.XFileName);
  SetDlgItemText(dialog, IDC_TEXTURE, working.TextureName);
  AppendEntry(dialog, IDC_TEXTURE, kNoTextureName);
  AppendEntry(dialog, IDC_TEXTURE, kXFileTextureName);
  std::snprintf(shownScale, sizeof shownScale, "%f", double(working.XScale));
  loadedScale = working.XScale;
  SetDlgItemText(dialog, IDC_SCALE, shownScale);
}

bool OnDisplayPageCommand(HWND dialog, int id, uint16_t notification) {
  if (id >= 1041 && id <= 1044) {
    WorkingSettings.ScreenMode = uint32_t(id - 1041);
    ApplyColourDepthEnabling(dialog, id == 1041);
  } else if (id >= 1045 && id <= 1048) {
    WorkingSettings.ScreenColor = uint32_t(id - 1045);
  } else if (id >= 1049 && id <= 1051) {
    WorkingSettings.Rendering = uint32_t(id - 1049);
    if (Preview != nullptr) Preview->ApplyRendering();
  } else if (id == int(IDC_X_FILE_BROWSE)) {
    ChooseXFile(dialog);
  } else if (id == int(IDC_TEXTURE_BROWSE)) {
    ChooseTexture(dialog);
  } else if (id == int(IDC_REDISPLAY)) {
    Redisplay(dialog);
  } else if (id == int(IDC_TEXTURE)) {
    // While the list's selection changes, the field still holds the old text.
    if (notification == CBN_SELCHANGE) {
      SetTimer(dialog, kTexturePickTimerId, kTexturePickMilliseconds, &TexturePicked);
    }
  } else {
    return false;
  }
  return true;
}

void ReadBackDisplayPage(HWND dialog) {
  SettingsRecord& working = WorkingSettings;
  working.XScale = ScaleFromField(dialog);
  GetDlgItemText(dialog, IDC_DDRAW_DRIVER, working.DDDriverName, sizeof working.DDDriverName);
  GetDlgItemText(dialog, IDC_D3D_DRIVER, working.D3DDriverName, sizeof working.D3DDriverName);
  GetDlgItemText(dialog, IDC_X_FILE, working.XFileName, sizeof working.XFileName);
  GetDlgItemText(dialog, IDC_TEXTURE, working.TextureName, sizeof working.TextureName);
}
