#include "engine/CodecLock.h"

namespace {
// Depth of the TCodecLocked scopes of this thread.
thread_local int codecLockDepth = 0;
} // namespace

TCriticalSection& CodecLock() {
    static TCriticalSection lock;
    return lock;
}

TCodecLocked::TCodecLocked() {
    CodecLock().Enter();
    ++codecLockDepth;
}

TCodecLocked::~TCodecLocked() {
    --codecLockDepth;
    CodecLock().Leave();
}

bool CodecLockHeldHere() noexcept { return codecLockDepth > 0; }
