#pragma once
// The 2048-byte blocks of chapters First..Last of one DVD title in one camera
// angle as a read-only stream, fed through a ring, for FFmpeg through the
// stream protocol ("stream:<id>.vob"). Its size is known from construction;
// only seeks from the beginning are served.

#include <memory>

#include "engine/CircularBuffer.h"
#include "engine/DvdNavigation.h"
#include "platform/rtl/Stream.h"

class TDvdStream : public TStream {
public:
    static constexpr int32_t kRingSize = 49766400;

    // Title and chapters count from 1. Raises Exception "Can not open DVD",
    // "Can not open title" or "Can not start chapter", the last also unless
    // 1 <= FirstChapter <= LastChapter <= the title's chapter count.
    TDvdStream(const String& path, int title, int angle, int firstChapter, int lastChapter,
               const TDvdNavigationOpener& open = OpenDvdNavigation);

    // Count bytes; fewer at the end of the range, after a navigation error,
    // or when Count is more than the ring holds.
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void*, int64_t) override { return 0; }
    // Offset from the beginning, clamped to the size: a whole number of
    // blocks is sought by the navigation and the rest read past. -1 for
    // other origins (which change nothing), negative offsets, and positions
    // the navigation cannot reach.
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    // The blocks of the range, in bytes.
    int64_t Size() override { return size_; }

private:
    // Fills the ring from the blocks of chapters First..Last and takes up to Count bytes.
    int64_t ReadChapters(void* buffer, int64_t count, int first, int last);
    // The position of Chapter's first block, which is read and dropped;
    // Length receives the title's length in blocks.
    int64_t FirstBlockOf(int chapter, int64_t& length);

    std::unique_ptr<IDvdNavigation> navigation_;
    TDvdTitleRecord title_;
    int first_ = 0;
    int last_ = 0;
    TCircularBuffer ring_;
    int64_t startBlock_ = 0;
    int64_t size_ = 0;
    // Sought to the size: reads give nothing until the next seek.
    bool atEnd_ = false;
};
