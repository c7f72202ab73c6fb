#pragma once
// The picture an OnVideoBuffer handler sees of one video output: each frame
// the output encodes, converted to a packed BGRA picture (rows top-down,
// Width * 4 bytes each), and converted back when the handler painted it.

#include <cstdint>
#include <vector>

#include "engine/AVBitmap.h"
#include "engine/AVPointers.h"

class TVideoBufferChannel {
public:
    // For frames of the encoder's size and pixel format. Raises EOutOfMemory.
    TVideoBufferChannel(int width, int height, AVPixelFormat format);

    TAVBitmap& Bitmap() noexcept { return bitmap_; }
    // Whether Frame is of the channel's size and format.
    bool Fits(const AVFrame& frame) const noexcept;
    void ToBitmap(const AVFrame& frame);
    // Replaces Frame's picture by the bitmap's; a shared picture is copied first.
    // Raises EOutOfMemory.
    void FromBitmap(AVFrame& frame);

private:
    int width_;
    int height_;
    AVPixelFormat format_;
    TScalerPtr toBitmap_;
    TScalerPtr fromBitmap_;
    std::vector<uint8_t> pixels_;
    TAVBitmap bitmap_;
};
