#pragma once
#include <span>

#include "platform/sys/types.h"

// The controls of each page, in template order. Both pages lie over each other
// in the tab control; a page is shown by showing its controls.
inline constexpr int kLifePageTable[] = {
    1058, 1016, 1017, 1018, 101,  1019, 1059, 1008, 1007, 1006, 1060, 1026, 1027,
    1028, 1029, 1061, 1030, 1031, 1032, 1033, 1062, 1014, 1013, 1015, 1063, 1035,
    1036, 1037, 1038, 1064, 1065, 1040, 1066, 1067, 1011, 1010, 1012, 1068, 1002};
inline constexpr int kDisplayPageTable[] = {
    1069, 1072, 1070, 1073, 1071, 1074, 1041, 1042, 1043, 1044, 1075, 1045, 1046, 1047, 1048, 1076,
    1049, 1050, 1051, 1077, 1086, 1052, 1053, 1079, 1087, 1055, 1056, 1081, 1082, 1083, 1078, 1085};

// Shows or hides every control of the table; an id without a control is skipped.
void ShowPageControls(HWND dialog, std::span<const int> table, bool show);
