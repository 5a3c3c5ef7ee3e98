#include "config/config_dialog.h"

#include <cstring>
#include <new>

#include "config/about_box.h"
#include "config/centre_window.h"
#include "config/config_dialog_state.h"
#include "config/display_page.h"
#include "config/life_page.h"
#include "config/object_preview.h"
#include "config/page_tables.h"
#include "platform/dialog/common_controls.h"
#include "platform/dialog/dialog.h"
#include "platform/dialog/help.h"
#include "platform/dialog/message_box.h"
#include "resources/control_ids.h"
#include "settings/resolved_options.h"

SettingsRecord WorkingSettings;
HWND ConfigDialogHandle = 0;
ObjectPreview* Preview = nullptr;
RECT PreviewControlRect;

namespace {

constexpr uint32_t kHelpContext = 101;
bool previewAllocationFails = false;

void InsertTab(HWND dialog, int index, const char* text) {
  TCITEMA item;
  item.mask = TCIF_TEXT;
  item.pszText = text;
  SendDlgItemMessage(dialog, IDC_TABS, TCM_INSERTITEMA, WPARAM(index),
                     reinterpret_cast<LPARAM>(&item));
}

void ShowLifePage(HWND dialog) {
  ShowPageControls(dialog, kDisplayPageTable, false);
  ShowPageControls(dialog, kLifePageTable, true);
}

void ShowDisplayPage(HWND dialog) {
  ShowPageControls(dialog, kLifePageTable, false);
  ShowPageControls(dialog, kDisplayPageTable, true);
  if (GetPlatformClass() == kPlatformWindowsNT4) {
    for (uint32_t id : {IDC_SCREEN_640, IDC_SCREEN_800, IDC_SCREEN_1024}) {
      EnableWindow(GetDlgItem(dialog, int(id)), false);
    }
  }
  ApplyColourDepthEnabling(dialog, WorkingSettings.ScreenMode == 0);
}

// Opens the preview on control 1056; the chain stops at the first step that
// fails, and the preview stays black.
bool SetUpPreview(HWND dialog) {
  HWND control = GetDlgItem(dialog, IDC_PREVIEW);
  Preview->window = control;
  return Preview->graphics.Open(control, Windowed) && Preview->graphics.OpenDirect3D() &&
         Preview->SetUpScene() && Preview->Prepare();
}

void DestroyPreview(HWND dialog) {
  KillTimer(dialog, kPreviewTimerId);
  delete Preview;
  Preview = nullptr;
}

intptr_t Initialise(HWND dialog) {
  if (!AcquireInstanceMutex()) {
    EndDialog(dialog, 0);
    return FALSE;
  }
  InitCommonControls();
  CentreWindow(dialog, GetParent(dialog));
  LoadProgramStrings();
  LoadSettings();
  Settings.TextureFlag = std::strcmp(Settings.TextureName, kNoTextureName) != 0;
  WorkingSettings = Settings;
  InsertTab(dialog, 0, "ライフゲーム");
  InsertTab(dialog, 1, "Direct3D");
  ShowLifePage(dialog);
  LoadLifePage(dialog);
  ResolveDisplayOptions();  // the preview's Stage reads them while it draws
  Preview = previewAllocationFails
                ? nullptr
                : new (std::nothrow) ObjectPreview(WorkingSettings, ConfigDialogHandle);
  GetWindowRect(GetDlgItem(dialog, IDC_PREVIEW), &PreviewControlRect);
  const bool previewReady = Preview == nullptr || SetUpPreview(dialog);
  LoadDisplayPage(dialog);
  if (GetPlatformClass() == kPlatformWindows9x) {
    SetTimer(dialog, kPreviewTimerId, kPreviewTimerMilliseconds);
  }
  return previewReady ? TRUE : FALSE;
}

void OnOk(HWND dialog) {
  ReadBackLifePage(dialog);
  ReadBackDisplayPage(dialog);
  Settings = WorkingSettings;
  SaveSettings();
  DestroyPreview(dialog);
  EndDialog(dialog, 1);
}

void OnCancel(HWND dialog) {
  DestroyPreview(dialog);
  EndDialog(dialog, 0);
}

void OnHelp(HWND dialog) {
  if (!WinHelp(dialog, ProgramHelpFile, HELP_CONTEXT, kHelpContext)) {
    MessageBox(dialog, ProgramHelpFailure, ProgramCaption, MB_OK);
  }
}

intptr_t OnCommand(HWND dialog, WPARAM wParam) {
  const int id = LOWORD(wParam);
  switch (id) {
    case IDOK:
      OnOk(dialog);
      return TRUE;
    case IDCANCEL:
      OnCancel(dialog);
      return TRUE;
    case int(IDC_ABOUT):
      ShowAboutBox(dialog);
      return TRUE;
    case int(IDC_HELP_BUTTON):
      OnHelp(dialog);
      return TRUE;
    default:
      break;
  }
  if (OnLifePageRadio(dialog, id)) return TRUE;
  if (OnDisplayPageCommand(dialog, id, HIWORD(wParam))) return TRUE;
  return FALSE;
}

void OnTabChange(HWND dialog) {
  switch (SendDlgItemMessage(dialog, IDC_TABS, TCM_GETCURSEL, 0, 0)) {
    case 0:
      ShowLifePage(dialog);
      break;
    case 1:
      ShowDisplayPage(dialog);
      break;
    default:
      break;
  }
}

// Moving the dialog moves the preview's drawing area within one tick.
void OnPreviewTimer(HWND dialog) {
  HWND control = GetDlgItem(dialog, IDC_PREVIEW);
  RECT now;
  GetWindowRect(control, &now);
  if (now.top != PreviewControlRect.top || now.left != PreviewControlRect.left) {
    PreviewControlRect = now;
    if (Preview != nullptr) Preview->OnWindowMoved(control);
  }
  if (Preview != nullptr) Preview->Tick();
}

}  // namespace

void SetPreviewAllocationFailsForTesting(bool fails) {
  previewAllocationFails = fails;
}

intptr_t ConfigDialogProc(HWND dialog, uint32_t message, WPARAM wParam, LPARAM lParam) {
  ConfigDialogHandle = dialog;
  switch (message) {
    case WM_INITDIALOG:
      return Initialise(dialog);
    case WM_COMMAND:
      return OnCommand(dialog, wParam);
    case WM_NOTIFY:
      if (lParam != 0 && reinterpret_cast<const NMHDR*>(lParam)->code == TCN_SELCHANGE) {
        OnTabChange(dialog);
      }
      return TRUE;
    case WM_TIMER:
      if (wParam == kPreviewTimerId) OnPreviewTimer(dialog);
      return TRUE;
    default:
      return FALSE;
  }
}
