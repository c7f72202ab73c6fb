#include "engine/VideoSync.h"

#include <cmath>

#include "engine/AVLib.h"

int ResolveVideoSync(int method, int formatFlags) {
    if (method != vsAuto) return method;
    if (!(formatFlags & AVFMT_VARIABLE_FPS)) return vsConstant;
    return (formatFlags & AVFMT_NOTIMESTAMPS) ? vsPassthrough : vsVariable;
}

int64_t PicturesToEncode(int method, double pts, double delta, int64_t& nextOutput) {
    switch (method) {
    case vsConstant:
        if (delta < -1.1) return 0;
        if (delta > 1.1) return std::llrint(delta);
        return 1;
    case vsVariable:
        if (delta <= -0.6) return 0;
        if (delta > 0.6) nextOutput = std::llrint(pts);
        return 1;
    case vsPassthrough:
    case vsDropTimestamps: nextOutput = std::llrint(pts); return 1;
    default: RTL_ASSERT(false, "unknown video sync method"); return 0;
    }
}
