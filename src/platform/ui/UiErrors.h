#pragma once
// Exceptions of the component framework that the run-time library lacks.

#include "platform/rtl/Exceptions.h"

// The window system refused a resource it hands out in limited numbers
// (timers, handles): a shortage like one of memory.
RTL_DECLARE_EXCEPTION(EOutOfResources, EOutOfMemory);
