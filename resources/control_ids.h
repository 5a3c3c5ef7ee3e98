#pragma once
#include <cstdint>

// Numbers shared by the dialog templates and the code that drives them.

inline constexpr uint32_t IDD_CONFIG = 2003;
inline constexpr char IDD_ABOUT[] = "ABOUTDLGBOX";
inline constexpr uint32_t IDI_PROGRAM = 100;

// Frame. The dialog manager sends IDOK for Enter and IDCANCEL for Esc and the
// close box; message boxes answer with them too.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr uint32_t IDC_ABOUT = 111;
inline constexpr uint32_t IDC_HELP_BUTTON = 110;
inline constexpr uint32_t IDC_TABS = 1080;

// Life page.
inline constexpr uint32_t IDC_SPEED_GROUP = 1058;
inline constexpr uint32_t IDC_SPEED_FIXED = 1016;
inline constexpr uint32_t IDC_SPEED_RANDOM = 1017;
inline constexpr uint32_t IDC_SPEED_SLOWER = 1018;
inline constexpr uint32_t IDC_SPEED = 101;
inline constexpr uint32_t IDC_SPEED_FASTER = 1019;
inline constexpr uint32_t IDC_SIZE_GROUP = 1059;
inline constexpr uint32_t IDC_SIZE_SMALL = 1006;
inline constexpr uint32_t IDC_SIZE_MIDDLE = 1007;
inline constexpr uint32_t IDC_SIZE_BIG = 1008;
inline constexpr uint32_t IDC_COLORS_GROUP = 1060;
inline constexpr uint32_t IDC_COLORS_FIRST = 1026;  // 1026-1029
inline constexpr uint32_t IDC_ROLL_GROUP = 1061;
inline constexpr uint32_t IDC_ROLL_FIRST = 1030;    // 1030-1033
inline constexpr uint32_t IDC_CAMERA_GROUP = 1062;
inline constexpr uint32_t IDC_CAMERA_OFF = 1013;
inline constexpr uint32_t IDC_CAMERA_ON = 1014;
inline constexpr uint32_t IDC_CAMERA_RANDOM = 1015;
inline constexpr uint32_t IDC_WAVE_GROUP = 1063;
inline constexpr uint32_t IDC_WAVE_FIRST = 1035;    // 1035-1038
inline constexpr uint32_t IDC_SPLIT_GROUP = 1064;
inline constexpr uint32_t IDC_SPLIT_COARSE = 1065;
inline constexpr uint32_t IDC_SPLIT = 1040;
inline constexpr uint32_t IDC_SPLIT_FINE = 1066;
inline constexpr uint32_t IDC_CONNECT_GROUP = 1067;
inline constexpr uint32_t IDC_CONNECT_OFF = 1010;
inline constexpr uint32_t IDC_CONNECT_ON = 1011;
inline constexpr uint32_t IDC_CONNECT_RANDOM = 1012;
inline constexpr uint32_t IDC_GENERATIONS = 1002;
inline constexpr uint32_t IDC_GENERATIONS_GROUP = 1068;

// Display page.
inline constexpr uint32_t IDC_DRIVER_GROUP = 1069;
inline constexpr uint32_t IDC_DDRAW_LABEL = 1072;
inline constexpr uint32_t IDC_DDRAW_DRIVER = 1070;
inline constexpr uint32_t IDC_D3D_LABEL = 1073;
inline constexpr uint32_t IDC_D3D_DRIVER = 1071;
inline constexpr uint32_t IDC_SCREEN_MODE_GROUP = 1074;
inline constexpr uint32_t IDC_SCREEN_WINDOW = 1041;  // 1041-1044
inline constexpr uint32_t IDC_SCREEN_640 = 1042;
inline constexpr uint32_t IDC_SCREEN_800 = 1043;
inline constexpr uint32_t IDC_SCREEN_1024 = 1044;
inline constexpr uint32_t IDC_DEPTH_GROUP = 1075;
inline constexpr uint32_t IDC_DEPTH_FIRST = 1045;    // 1045-1048
inline constexpr uint32_t IDC_RENDERING_GROUP = 1076;
inline constexpr uint32_t IDC_RENDERING_FIRST = 1049;  // 1049-1051
inline constexpr uint32_t IDC_OBJECT_GROUP = 1077;
inline constexpr uint32_t IDC_X_FILE_LABEL = 1086;
inline constexpr uint32_t IDC_X_FILE = 1052;
inline constexpr uint32_t IDC_X_FILE_BROWSE = 1053;
inline constexpr uint32_t IDC_TEXTURE_LABEL = 1079;
inline constexpr uint32_t IDC_TEXTURE = 1087;
inline constexpr uint32_t IDC_TEXTURE_BROWSE = 1055;
inline constexpr uint32_t IDC_PREVIEW = 1056;
inline constexpr uint32_t IDC_SCALE_LABEL = 1081;
inline constexpr uint32_t IDC_SCALE = 1082;
inline constexpr uint32_t IDC_REDISPLAY = 1083;
inline constexpr uint32_t IDC_DISTANCE_LABEL = 1078;
inline constexpr uint32_t IDC_DISTANCE = 1085;

// About box.
inline constexpr uint32_t IDC_STATIC = 0xFFFF;
