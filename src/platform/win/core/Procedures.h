#pragma once
// Counting of object instances installed as procedures of windows and
// classes. Plain functions are not counted; both calls ignore them.

#include "platform/win/Types.h"

void RetainProcedure(WNDPROC proc) noexcept;
void ReleaseProcedure(WNDPROC proc) noexcept;
