#pragma once
#include "platform/sys/types.h"
#include "settings/settings.h"

class ObjectPreview;

// What the configuration dialog keeps while it is open. One dialog runs per
// process, so these are process-wide like the Settings record.

// The dialog's own copy of the Settings record: the pages read it and write the
// user's choices into it; OK copies it back.
extern SettingsRecord WorkingSettings;
// The configuration dialog, refreshed on every message it receives.
extern HWND ConfigDialogHandle;
// Null when it could not be made; the dialog then works without a preview.
extern ObjectPreview* Preview;
// Where control 1056 was last seen, in screen coordinates.
extern RECT PreviewControlRect;

inline constexpr uintptr_t kPreviewTimerId = 1;
inline constexpr uint32_t kPreviewTimerMilliseconds = 100;
