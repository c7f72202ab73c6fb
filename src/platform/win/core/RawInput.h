#pragma once
// Entry of desktop input into the queue of the thread that takes it.
// Internal to the window system.

#include "platform/win/core/Queue.h"

// Completes the entry (time, key and button states, cursor position) and
// queues it for the thread of the foreground window, else the calling thread.
void QueueRawInput(TRawInput raw);

// The cursor set, null while ShowCursor's count is negative.
HCURSOR VisibleCursor() noexcept;
