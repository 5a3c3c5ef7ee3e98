#pragma once

// The version the About box shows.
inline constexpr char kProgramVersion[] = "Ver 1.08.003";
