#pragma once
#include <cstdint>

#include "settings/settings.h"

// How an enumerated option is stored: the words written for its codes, the
// words accepted on reading (letters A-Z compared without case), and the code
// that any other word reads as.
struct AcceptedWord {
  const char* word;
  int32_t code;
};

struct WordOption {
  const char* name;
  int32_t SettingsRecord::*field;
  uint32_t bufferSize;  // the longest word read, terminator included
  const char* written[4];
  int32_t writtenCount;
  AcceptedWord accepted[4];
  int32_t acceptedCount;
  int32_t otherwise;
};

inline constexpr WordOption kFixedSpeedWords{
    "FixedSpeed", &SettingsRecord::FixedSpeed, 7, {"Fixed", "Random"}, 2, {{"FIXED", 0}}, 1, 1};
inline constexpr WordOption kConnectTBLRWords{"ConnectTBLR", &SettingsRecord::ConnectTBLR, 7,
                                              {"Off", "On", "Random"}, 3,
                                              {{"ON", 1}, {"RANDOM", 2}}, 2, 0};
inline constexpr WordOption kCameraMoveWords{"CameraMove", &SettingsRecord::CameraMove, 7,
                                             {"Off", "On", "Random"}, 3,
                                             {{"ON", 1}, {"RANDOM", 2}}, 2, 0};
inline constexpr WordOption kSizeWords{"Size", &SettingsRecord::Size, 7,
                                       {"Small", "Middle", "Big", "Random"}, 4,
                                       {{"BIG", 2}, {"SMALL", 0}, {"RANDOM", 3}}, 3, 1};
inline constexpr WordOption kColorsWords{"Colors", &SettingsRecord::Colors, 7,
                                         {"1", "2", "3", "Random"}, 4,
                                         {{"2", 1}, {"3", 2}, {"RANDOM", 3}}, 3, 0};
inline constexpr WordOption kRollWords{
    "Roll", &SettingsRecord::Roll, 9, {"NASI", "KURUKURU", "GURUGURU", "Random"}, 4,
    {{"NASI", 0}, {"KURUKURU", 1}, {"GURUGURU", 2}, {"RANDOM", 3}}, 4, 0};
inline constexpr WordOption kWaveWords{
    "Wave", &SettingsRecord::Wave, 9, {"Off", "Parallel", "Ripple", "Random"}, 4,
    {{"OFF", 0}, {"PARALLEL", 1}, {"RIPPLE", 2}, {"RANDOM", 3}}, 4, 0};

// The code a stored word reads as.
int32_t CodeOfWord(const WordOption& option, const char* word);

// Whether the word is one the option writes or accepts (any other word is a
// mistake that reads as the last column's code).
bool IsKnownWord(const WordOption& option, const char* word);

// The word written for a code, or null for a code the option does not have.
const char* WordOfCode(const WordOption& option, int32_t code);
