#pragma once
// A push source for graph tests: a YV12 video pin whose pictures carry their
// index as eight black-or-white blocks along the top (bit 7 first), and a
// 16-bit stereo sine on an audio pin. It seeks like the preview's source: the
// new start is stored, then each streaming pin is flushed and restarted, and
// starts its new segment there.

#include "platform/media/Source.h"

namespace media_test {

struct TSyntheticFormat {
    int width = 64;
    int height = 32;
    REFERENCE_TIME frameTime = 40 * kUnitsPerMs;
    int frames = 5;
    bool audio = false;
    int sampleRate = 44100;
    // Audio delivered per sample.
    REFERENCE_TIME audioChunk = 20 * kUnitsPerMs;
};

class TSyntheticSource : public TImplements<TBCSource, IMediaSeeking> {
public:
    explicit TSyntheticSource(const TSyntheticFormat& format);

    HRESULT GetDuration(REFERENCE_TIME* duration) override;
    HRESULT GetCurrentPosition(REFERENCE_TIME* position) override;
    HRESULT GetStopPosition(REFERENCE_TIME* stop) override;
    HRESULT SetPositions(REFERENCE_TIME* current, DWORD currentFlags, REFERENCE_TIME* stop, DWORD stopFlags) override;

    const TSyntheticFormat& Format() const noexcept { return format_; }
    REFERENCE_TIME Start() const noexcept { return start_.load(); }
    TBCSourceStream* VideoPin() const noexcept { return video_; }
    TBCSourceStream* AudioPin() const noexcept { return audio_; }

private:
    TSyntheticFormat format_;
    std::atomic<REFERENCE_TIME> start_{0};
    TBCSourceStream* video_ = nullptr;
    TBCSourceStream* audio_ = nullptr;
};

// The sine's value at a frame (both channels carry it).
int16_t SyntheticSineAt(int64_t frame, int sampleRate);

// The index a picture's blocks spell; -1 when a block is neither black nor white.
int ReadPictureIndex(const BYTE* luma, int stride, int width);

} // namespace media_test
