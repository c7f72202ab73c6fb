#include "engine/CodecLock.h"

#include <atomic>

namespace {
std::atomic<bool> bypassed = false;
// Depth of the TCodecLocked scopes of this thread.
thread_local int codecLockDepth = 0;
} // namespace

TCriticalSection& CodecLock() {
    static TCriticalSection lock;
    return lock;
}

TCodecLocked::TCodecLocked() : held_(!bypassed) {
    if (!held_) return;
    CodecLock().Enter();
    ++codecLockDepth;
}

TCodecLocked::~TCodecLocked() {
    if (!held_) return;
    --codecLockDepth;
    CodecLock().Leave();
}

bool CodecLockHeldHere() noexcept { return codecLockDepth > 0; }

void SetCodecLockBypassed(bool value) { bypassed = value; }
