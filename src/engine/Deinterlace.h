#pragma once
// Our own deinterlacer in place of FFmpeg's removed one: keeps the even lines
// of each plane and rebuilds every odd line from its neighbours with the
// vertical low-pass (-1 4 2 4 -1) / 8.

#include "engine/AVLib.h"

// Deinterlaces Source into Target (given new buffers of its own, properties
// copied). False, Target untouched, for a pixel format other than planar
// 8-bit YUV or grey, or a width or height that is not a multiple of 4.
bool Deinterlace(const AVFrame& source, AVFrame& target);
