#pragma once
#include "platform/sys/handle.h"

// An event: a manual-reset one stays signalled until ResetEvent; an automatic
// one lets one waiter through and clears itself.
HANDLE CreateEventA(bool manualReset, bool initialState);
bool SetEvent(HANDLE event);
bool ResetEvent(HANDLE event);
