#pragma once
// A thread whose desktop events come from another event loop (the
// presenter's) lets that loop run its waits: with nothing to do, the window
// system calls Wait instead of blocking on its own, and everything that wakes
// the thread's queue also calls Wake. Internal to the window system and its
// presenters.

#include "platform/win/Types.h"

class IWaitHost {
public:
    virtual ~IWaitHost() = default;
    // Runs the loop's own events; returns after at least one batch of them,
    // after Wake, or once the clock reaches Due (when HasDue). Called on the
    // thread without any lock of the window system held.
    virtual void Wait(bool hasDue, DWORD due) = 0;
    // From any thread, with the queue's mutex held; a Wake before Wait makes
    // the next Wait return at once.
    virtual void Wake() noexcept = 0;
};
