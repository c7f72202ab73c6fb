#pragma once
// The pictures of an in-memory bitmap as a live raw-video input. Registered
// as a stream, its "stream:<id>" opens through the rawvideo demuxer (BGRA,
// the bitmap's size, the capture's frame rate, timestamps counting frames),
// and every frame FFmpeg reads is the bitmap as it is when that frame begins.
// A producer on any thread draws through Draw, which no frame copy
// interrupts. The input has no end: its reader stops reading.

#include <functional>
#include <mutex>
#include <vector>

#include "engine/AVBitmap.h"
#include "engine/StreamProtocol.h"

class TBitmapCapture : public TStream, public IRawInput {
public:
    // The bitmap starts cleared to 0. Raises EArgumentOutOfRangeException
    // unless both sides are positive.
    TBitmapCapture(int width, int height, AVRational frameRate = {30000, 1001});

    // Paint gets the bitmap's pixels: rows top-down without padding.
    void Draw(const std::function<void(TAVBitmap& bitmap)>& paint);

    // Up to the end of the frame being read; a read at a frame's start copies the bitmap.
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void*, int64_t) override { return 0; }
    // Offset 0 from the beginning goes to the start of a frame; anything else is refused (-1).
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    // Unknown (-1): the input is live.
    int64_t Size() override { return -1; }

    const char* DemuxerName() const override { return "rawvideo"; }
    void DemuxerOptions(TAVDict& options) const override;

private:
    const int width_;
    const int height_;
    const AVRational frameRate_;
    std::mutex mutex_; // guards the bitmap
    std::vector<uint8_t> bitmap_;
    // The frame being read, and how much of it was.
    std::vector<uint8_t> frame_;
    size_t taken_;
};
