#pragma once
// Privileges of the process. Linux processes hold no token privileges: the
// desktop's power policy decides when the shutdown is asked for, so the
// shutdown privilege counts as held and no other one does.

#include "platform/rtl/String.h"

// True for "SeShutdownPrivilege" (either way), false for any other name.
bool EnablePrivilege(bool enable, const String& privilegeName);
