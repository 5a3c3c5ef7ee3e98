#include "resources/control_ids.h"
#include "resources/dialog_template.h"
#include "resources/version.h"

// Template "ABOUTDLGBOX": the program's icon, name and version.

namespace {

using namespace template_style;

// The dialog manager's own command numbers for OK and Cancel.
constexpr uint32_t kOk = 1;

constexpr DialogItemTemplate kItems[] = {
    {IDC_STATIC, kStaticClass, "100", kIcon, 52, 5, 21, 20},
    {IDC_STATIC, kStaticClass, "Quellar", kCenterText, 29, 35, 64, 8},
    // As wide as the name above it (the same centre): in the gothic fonts found
    // here the version does not fit 39 units and would wrap out of sight.
    {IDC_STATIC, kStaticClass, kProgramVersion, kCenterText, 29, 47, 64, 8},
    {kOk, kButtonClass, "OK", kDefPushButton | kTabStop | kGroup, 44, 98, 33, 14},
};

}  // namespace

extern const DialogTemplate kAboutDialogTemplate{
    0,
    IDD_ABOUT,
    kPopup | kCaption | kSysMenu | kModalFrame | kSetFont,
    0,
    0,
    123,
    117,
    "バージョン情報",
    "ＭＳ Ｐゴシック",
    9,
    kItems,
};
