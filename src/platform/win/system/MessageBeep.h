#pragma once
// Message beeps make no sound; they are recorded so tests can see them.

#include <vector>

#include "platform/win/Types.h"

BOOL MessageBeep(UINT type);
// The beeps since the last call, oldest first.
std::vector<UINT> TakeMessageBeeps();
