#pragma once
// The video synchronisation rules: how often an output picture is encoded so
// that the output keeps its clock.

#include <cstdint>

enum TVideoSync : int {
    vsAuto = -1,
    vsPassthrough = 0,    // every picture once, at its own time
    vsConstant = 1,       // a constant frame rate: pictures repeated or dropped
    vsVariable = 2,       // pictures dropped when early, the clock moved when late
    vsDropTimestamps = 255 // as passthrough, and the muxer gets no timestamps
};

// The method for a muxer of FormatFlags (AVFMT_*) when Method is vsAuto.
int ResolveVideoSync(int method, int formatFlags);

// How many times to encode a picture of time Pts whose distance from the
// next output time is Delta (both in the encoder's time base); may move
// NextOutput. Raises EAssertionFailed for an unknown method.
int64_t PicturesToEncode(int method, double pts, double delta, int64_t& nextOutput);
