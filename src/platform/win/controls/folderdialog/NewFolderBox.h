#pragma once
// The small modal box that asks for a new folder's name.

#include "platform/rtl/String.h"
#include "platform/win/Types.h"

// Shows the box over Owner with Name proposed (all selected); true with the
// name typed when OK or Enter answers it, false when cancelled.
bool AskNewFolderName(HWND owner, String& name);
