#pragma once
#include <xcb/xcb.h>

// Turns one event of the X connection into the messages of this process's
// windows. Runs on the X event reader thread.
void TranslateEvent(const xcb_generic_event_t* event);
