#pragma once
#include <cstdint>

#include "platform/sys/types.h"

// The first page, "ライフゲーム": speed, cell size, colours, roll, camera,
// wave, split animation, edge connection and the generations after the colony
// has settled.

// Sets the page's controls from the working settings.
void LoadLifePage(HWND dialog);

// A radio button of the page was clicked: its group's option takes its value at
// once. False for an id that is not one of the page's radio buttons.
bool OnLifePageRadio(HWND dialog, int id);

// The trackbar and its two labels can be used only while the speed is fixed.
void ApplySpeedEnabling(HWND dialog, bool fixed);

// On OK: the two trackbars and the generations box into the working settings.
void ReadBackLifePage(HWND dialog);
