#pragma once
// The process-wide codec lock shared by all converters. It is recursive and
// serialises each conversion's opening phase (inputs, codec options, filter
// graphs, outputs), its codec opening and closing, video and subtitle
// encoding and the packet work around the muxer; reading, decoding, filtering
// and the interleaved write of a packet run outside it.

#include "platform/rtl/SyncObjs.h"

TCriticalSection& CodecLock();
