#include "resources/control_ids.h"
#include "resources/dialog_template.h"

// Template 2003: the configuration dialog. The frame comes first, then the
// life page, then the display page; both pages lie over each other inside the
// tab control, and the dialog shows one page's controls at a time.

namespace {

using namespace template_style;

// The dialog manager's own command numbers for OK and Cancel.
constexpr uint32_t kOk = 1;
constexpr uint32_t kCancel = 2;

constexpr uint32_t kRadio = kAutoRadioButton;
constexpr uint32_t kRadioGroup = kAutoRadioButton | kGroup;
constexpr uint32_t kMultiRadio = kAutoRadioButton | kMultiLine;
constexpr uint32_t kMultiRadioGroup = kAutoRadioButton | kMultiLine | kGroup;
constexpr uint32_t kBox = kGroupBox | kGroup;
constexpr uint32_t kTrackbar = kAutoTicks | kTabStop;
constexpr uint32_t kDriverList = kDropDownList | kVScroll | kTabStop;

constexpr DialogItemTemplate kItems[] = {
    // Frame.
    {kOk, kButtonClass, "OK", kDefPushButton | kTabStop | kGroup, 68, 214, 57, 14},
    {kCancel, kButtonClass, "ｷｬﾝｾﾙ", kPushButton | kTabStop, 132, 214, 57, 14},
    {IDC_ABOUT, kButtonClass, "ﾊﾞｰｼﾞｮﾝ情報(&A)", kPushButton | kTabStop, 196, 214, 57, 14},
    {IDC_HELP_BUTTON, kButtonClass, "ﾍﾙﾌﾟ(&H)", kPushButton | kTabStop, 261, 214, 57, 14},
    {IDC_TABS, kTabControlClass, "", kTabStop, 5, 5, 312, 203},

    // Life page.
    {IDC_SPEED_GROUP, kButtonClass, "速さ(&S)", kBox, 11, 25, 144, 46},
    {IDC_SPEED_FIXED, kButtonClass, "固定", kRadioGroup, 15, 37, 26, 9},
    {IDC_SPEED_RANDOM, kButtonClass, "ﾗﾝﾀﾞﾑ", kRadio, 46, 37, 32, 9},
    {IDC_SPEED_SLOWER, kStaticClass, "遅く", kLeftText, 15, 53, 13, 9},
    {IDC_SPEED, kTrackbarClass, "", kTrackbar, 27, 53, 112, 12},
    {IDC_SPEED_FASTER, kStaticClass, "速く", kRightText, 138, 53, 13, 9},
    {IDC_SIZE_GROUP, kButtonClass, "生命の大きさ(&S)", kBox, 11, 75, 71, 27},
    {IDC_SIZE_BIG, kButtonClass, "大", kRadioGroup, 15, 86, 18, 9},
    {IDC_SIZE_MIDDLE, kButtonClass, "中", kRadio, 37, 86, 19, 9},
    {IDC_SIZE_SMALL, kButtonClass, "小", kRadio, 59, 86, 18, 9},
    {IDC_COLORS_GROUP, kButtonClass, "色(&C)", kBox, 11, 106, 144, 27},
    {1026, kButtonClass, "単色", kMultiRadioGroup, 15, 118, 26, 9},
    {1027, kButtonClass, "ｸﾞﾗﾃﾞｰｼｮﾝ", kMultiRadio, 44, 118, 44, 9},
    {1028, kButtonClass, "複数", kMultiRadio, 91, 118, 26, 9},
    {1029, kButtonClass, "ﾗﾝﾀﾞﾑ", kMultiRadio, 120, 118, 30, 9},
    {IDC_ROLL_GROUP, kButtonClass, "回転(&R)", kBox, 11, 138, 146, 27},
    {1030, kButtonClass, "しない", kMultiRadioGroup, 15, 151, 31, 9},
    {1031, kButtonClass, "くるくる", kMultiRadio, 49, 151, 33, 9},
    {1032, kButtonClass, "ぐるぐる", kMultiRadio, 85, 151, 36, 9},
    {1033, kButtonClass, "ﾗﾝﾀﾞﾑ", kMultiRadio, 123, 151, 30, 9},
    {IDC_CAMERA_GROUP, kButtonClass, "カメラの移動(&M)", kBox, 165, 25, 92, 27},
    {IDC_CAMERA_OFF, kButtonClass, "なし", kMultiRadioGroup, 169, 37, 24, 9},
    {IDC_CAMERA_ON, kButtonClass, "あり", kMultiRadio, 196, 37, 24, 9},
    {IDC_CAMERA_RANDOM, kButtonClass, "ﾗﾝﾀﾞﾑ", kMultiRadio, 223, 37, 30, 9},
    {IDC_WAVE_GROUP, kButtonClass, "ウェーブ(&W)", kBox, 165, 57, 124, 27},
    {1035, kButtonClass, "なし", kMultiRadioGroup, 169, 70, 24, 9},
    {1036, kButtonClass, "平行", kMultiRadio, 197, 70, 26, 9},
    {1037, kButtonClass, "波紋", kMultiRadio, 225, 70, 26, 9},
    {1038, kButtonClass, "ﾗﾝﾀﾞﾑ", kMultiRadio, 254, 70, 30, 9},
    {IDC_SPLIT_GROUP, kButtonClass, "分裂のアニメーション(&A)", kBox, 165, 90, 124, 31},
    {IDC_SPLIT_COARSE, kStaticClass, "粗い", kLeftText, 169, 105, 15, 9},
    {IDC_SPLIT, kTrackbarClass, "", kTrackbar, 185, 103, 77, 12},
    {IDC_SPLIT_FINE, kStaticClass, "細かい", kRightText, 262, 105, 23, 9},
    {IDC_CONNECT_GROUP, kButtonClass, "上下左右のつながり(&C)", kBox, 165, 125, 92, 26},
    {IDC_CONNECT_OFF, kButtonClass, "なし", kMultiRadioGroup, 169, 138, 24, 9},
    {IDC_CONNECT_ON, kButtonClass, "あり", kMultiRadio, 197, 138, 24, 9},
    {IDC_CONNECT_RANDOM, kButtonClass, "ﾗﾝﾀﾞﾑ", kMultiRadio, 224, 138, 30, 9},
    {IDC_GENERATIONS, kEditClass, "", kBorder | kTabStop, 190, 166, 17, 12},
    {IDC_GENERATIONS_GROUP, kButtonClass, "安定後の世代数(&G)", kBox, 165, 155, 73, 27},

    // Display page.
    {IDC_DRIVER_GROUP, kButtonClass, "ドライバ(&D)", kBox, 11, 25, 144, 51},
    {IDC_DDRAW_LABEL, kStaticClass, "Direct Draw", kLeftText, 16, 38, 21, 16},
    {IDC_DDRAW_DRIVER, kComboBoxClass, "", kDriverList, 47, 39, 103, 86},
    {IDC_D3D_LABEL, kStaticClass, "Direct3D", kLeftText, 16, 61, 29, 9},
    {IDC_D3D_DRIVER, kComboBoxClass, "", kDriverList, 47, 59, 103, 86},
    {IDC_SCREEN_MODE_GROUP, kButtonClass, "画面モード(&S)", kBox, 11, 82, 136, 38},
    {1041, kButtonClass, "Window", kMultiRadioGroup, 16, 95, 36, 8},
    {1042, kButtonClass, "640*480", kMultiRadio, 16, 107, 40, 8},
    {1043, kButtonClass, "800*600", kMultiRadio, 57, 107, 40, 8},
    {1044, kButtonClass, "1024*768", kMultiRadio, 99, 107, 44, 8},
    {IDC_DEPTH_GROUP, kButtonClass, "色(&C)", kBox, 11, 125, 144, 26},
    {1045, kButtonClass, "8ﾋﾞｯﾄ", kMultiRadioGroup, 16, 137, 30, 8},
    {1046, kButtonClass, "16ﾋﾞｯﾄ", kMultiRadio, 47, 137, 34, 8},
    {1047, kButtonClass, "24ﾋﾞｯﾄ", kMultiRadio, 82, 137, 34, 8},
    {1048, kButtonClass, "32ﾋﾞｯﾄ", kMultiRadio, 117, 137, 34, 8},
    {IDC_RENDERING_GROUP, kButtonClass, "レンダリング(&R)", kBox, 162, 25, 110, 49},
    {1049, kButtonClass, "ワイヤーフレーム", kMultiRadioGroup, 166, 38, 65, 8},
    {1050, kButtonClass, "フラット･シェーディング", kMultiRadio, 166, 50, 81, 8},
    {1051, kButtonClass, "グロー･シェーディング", kMultiRadio, 166, 62, 79, 8},
    {IDC_OBJECT_GROUP, kButtonClass, "表示オブジェクト(&O)", kBox, 162, 80, 149, 121},
    {IDC_X_FILE_LABEL, kStaticClass, ".X ﾌｧｲﾙ", kLeftText, 166, 92, 27, 8},
    {IDC_X_FILE, kEditClass, "", kBorder | kTabStop | kEditAutoHScroll, 194, 91, 87, 13},
    {IDC_X_FILE_BROWSE, kButtonClass, "参照", kPushButton | kTabStop, 285, 91, 22, 12},
    {IDC_TEXTURE_LABEL, kStaticClass, "ﾃｸｽﾁｬ", kLeftText, 168, 108, 22, 8},
    {IDC_TEXTURE, kComboBoxClass, "", kDropDown | kComboAutoHScroll | kVScroll | kTabStop, 195,
     107, 86, 122},
    {IDC_TEXTURE_BROWSE, kButtonClass, "参照", kPushButton | kTabStop, 285, 108, 22, 12},
    {IDC_PREVIEW, kStaticClass, "", kBlackRect, 185, 126, 65, 70},
    {IDC_SCALE_LABEL, kStaticClass, "拡大率", kLeftText, 254, 133, 23, 8},
    {IDC_SCALE, kEditClass, "", kBorder | kTabStop | kEditAutoHScroll, 255, 144, 34, 12},
    {IDC_REDISPLAY, kButtonClass, "再表示", kPushButton | kTabStop, 256, 162, 33, 14},
    {IDC_DISTANCE_LABEL, kStaticClass, "x", kRightText, 248, 189, 8, 8},
    {IDC_DISTANCE, kStaticClass, "", kLeftText, 259, 189, 37, 8},
};

static_assert(std::size(kItems) == 5 + 39 + 32);

}  // namespace

extern const DialogTemplate kConfigDialogTemplate{
    IDD_CONFIG,
    nullptr,
    kPopup | kVisible | kCaption | kSysMenu | kModalFrame | kSetFont,
    34,
    32,
    323,
    233,
    "Quellarの設定",
    "ＭＳ Ｐゴシック",
    10,
    kItems,
};
