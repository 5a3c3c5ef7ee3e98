#pragma once
#include "platform/sys/types.h"

// The About box: the program's icon, name and version, centred on the
// configuration dialog.
void ShowAboutBox(HWND owner);
