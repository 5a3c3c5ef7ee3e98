#pragma once
#include <cstdint>
#include <span>

// Dialog templates as the program's resources hold them: the dialog's own
// style, rectangle (dialog units), caption and font, then its controls in
// template order, which is also the keyboard tab order.

// Style bits a template carries (the values the dialog manager knows).
namespace template_style {
inline constexpr uint32_t kPopup = 0x80000000;
inline constexpr uint32_t kChild = 0x40000000;
inline constexpr uint32_t kVisible = 0x10000000;
inline constexpr uint32_t kCaption = 0x00C00000;
inline constexpr uint32_t kBorder = 0x00800000;
inline constexpr uint32_t kVScroll = 0x00200000;
inline constexpr uint32_t kSysMenu = 0x00080000;
inline constexpr uint32_t kGroup = 0x00020000;
inline constexpr uint32_t kTabStop = 0x00010000;
inline constexpr uint32_t kSetFont = 0x00000040;
inline constexpr uint32_t kModalFrame = 0x00000080;
// BUTTON
inline constexpr uint32_t kPushButton = 0x0;
inline constexpr uint32_t kDefPushButton = 0x1;
inline constexpr uint32_t kGroupBox = 0x7;
inline constexpr uint32_t kAutoRadioButton = 0x9;
inline constexpr uint32_t kMultiLine = 0x2000;
// STATIC
inline constexpr uint32_t kLeftText = 0x0;
inline constexpr uint32_t kCenterText = 0x1;
inline constexpr uint32_t kRightText = 0x2;
inline constexpr uint32_t kIcon = 0x3;
inline constexpr uint32_t kBlackRect = 0x4;
// EDIT
inline constexpr uint32_t kEditAutoHScroll = 0x80;
// COMBOBOX
inline constexpr uint32_t kDropDown = 0x2;
inline constexpr uint32_t kDropDownList = 0x3;
inline constexpr uint32_t kComboAutoHScroll = 0x40;
// msctls_trackbar32
inline constexpr uint32_t kAutoTicks = 0x1;
}  // namespace template_style

// Control class names.
inline constexpr char kButtonClass[] = "BUTTON";
inline constexpr char kStaticClass[] = "STATIC";
inline constexpr char kEditClass[] = "EDIT";
inline constexpr char kComboBoxClass[] = "COMBOBOX";
inline constexpr char kTrackbarClass[] = "msctls_trackbar32";
inline constexpr char kTabControlClass[] = "SysTabControl32";

struct DialogItemTemplate {
  uint32_t id;
  const char* className;
  const char* caption;  // for an icon static: the icon resource's number in decimal
  uint32_t style;       // child and visible are implied
  int16_t x, y, cx, cy;
};

struct DialogTemplate {
  uint32_t id;          // 0 for a template known by name only
  const char* name;     // null for a template known by number only
  uint32_t style;
  int16_t x, y, cx, cy;
  const char* caption;
  const char* fontFace;
  int16_t pointSize;
  std::span<const DialogItemTemplate> items;
};

// The template with that number or that name, or null when there is none.
const DialogTemplate* FindDialogTemplate(uint32_t id);
const DialogTemplate* FindDialogTemplate(const char* name);
