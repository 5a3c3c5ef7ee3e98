#pragma once
#include <cstdint>

// The program's string table: the display name that the saver lists, the
// dialog caption and the help file.
inline constexpr uint32_t IDS_DESCRIPTION = 1;
inline constexpr uint32_t IDS_HELP_FAILURE = 1008;  // not in the table: the text is empty
inline constexpr uint32_t IDS_HELP_FILE = 1009;
inline constexpr uint32_t IDS_CAPTION = 1034;

// The text of string `id`, or null when the table has none.
const char* FindStringResource(uint32_t id);
