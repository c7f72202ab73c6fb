#pragma once
// Internal timers of a thread: they run a function when due, send nothing.

#include "platform/win/core/Queue.h"

void SetSystemTimer(TQueue& queue, UINT_PTR id, UINT period, void (*run)(TQueue&));
void KillSystemTimer(TQueue& queue, UINT_PTR id);
