#include "engine/CodecLock.h"

#include <atomic>

namespace {
std::atomic<bool> bypassed = false;
} // namespace

TCriticalSection& CodecLock() {
    static TCriticalSection lock;
    return lock;
}

TCodecLocked::TCodecLocked() : held_(!bypassed) {
    if (held_) CodecLock().Enter();
}

TCodecLocked::~TCodecLocked() {
    if (held_) CodecLock().Leave();
}

void SetCodecLockBypassed(bool value) { bypassed = value; }
