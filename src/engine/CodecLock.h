#pragma once
// The process-wide codec lock shared by all converters. It is recursive and
// serialises each conversion's opening phase (inputs, codec options, filter
// graphs, outputs), its codec opening and closing, video and subtitle
// encoding and the packet work around the muxer; reading, decoding, filtering,
// audio encoding, the final encoder flush and the interleaved write of a
// packet run outside it.

#include "platform/rtl/SyncObjs.h"

TCriticalSection& CodecLock();

// Holds the codec lock for its scope.
class TCodecLocked {
public:
    TCodecLocked();
    ~TCodecLocked();
    TCodecLocked(const TCodecLocked&) = delete;
    TCodecLocked& operator=(const TCodecLocked&) = delete;

private:
    bool held_;
};

// For the benchmark that measures what the lock costs: while bypassed, a
// TCodecLocked made afterwards holds nothing. Not for the program.
void SetCodecLockBypassed(bool bypassed);
