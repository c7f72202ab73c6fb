#pragma once
// What a modal dialog disables while it is up.

#include <vector>

#include "platform/win/Types.h"

// The owner and every other visible, enabled window of the calling thread,
// the dialog itself excepted; sorted, without repeats.
std::vector<HWND> WindowsToDisableForDialog(HWND owner, HWND dialog);
