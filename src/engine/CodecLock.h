#pragma once
// The process-wide codec lock shared by all converters. It is recursive and
// guards the library state that codec opening and closing share: it is held
// through each conversion's opening phase (inputs, codec options, filter
// graphs, outputs), around each encoder and decoder opened and each header
// written in the transcode's initialisation, and around every codec close.
// The rest of the initialisation (simple filter graphs, bitstream filters)
// runs outside it, so conversions that start together wait for one another
// only as long as those library calls take. Coding itself runs outside it:
// encode and decode calls on separate codec contexts share nothing, and
// holding the lock around them would make conversions that run at once wait
// for one another's encoders. So reading, decoding, filtering, encoding,
// packet work, bitstream filters and writing take no lock.

#include "platform/rtl/SyncObjs.h"

TCriticalSection& CodecLock();

// Holds the codec lock for its scope.
class TCodecLocked {
public:
    TCodecLocked();
    ~TCodecLocked();
    TCodecLocked(const TCodecLocked&) = delete;
    TCodecLocked& operator=(const TCodecLocked&) = delete;
};

// Whether the calling thread holds the codec lock through a TCodecLocked.
bool CodecLockHeldHere() noexcept;
