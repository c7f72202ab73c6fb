#include "SyntheticSource.h"

#include <cmath>
#include <cstring>

#include "platform/media/MediaFormats.h"

namespace media_test {

namespace {

constexpr BYTE kWhiteLuma = 235, kBlackLuma = 16;

// Shared by both pins: times counted from the filter's start, a new segment
// at every (re)start.
class TSyntheticStream : public TBCSourceStream {
public:
    TSyntheticStream(TSyntheticSource* filter, const String& name, REFERENCE_TIME period)
        : TBCSourceStream(u"Synthetic stream", filter, name), source_(filter), period_(period) {}

    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES& request) override {
        request.cBuffers = 2;
        request.cbBuffer = BufferSize();
        ALLOCATOR_PROPERTIES actual{};
        return allocator->SetProperties(request, actual);
    }
    HRESULT OnThreadStartPlay() override {
        const REFERENCE_TIME start = source_->Start();
        next_ = start / period_;
        offset_ = start;
        DeliverNewSegment(start, kMaxReferenceTime, 1.0);
        return S_OK;
    }
    HRESULT FillBuffer(IMediaSample* sample) override {
        if (next_ * period_ >= Duration()) return S_FALSE;
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        Paint(data, next_);
        const REFERENCE_TIME start = next_ * period_ - offset_, stop = start + period_;
        sample->SetTime(&start, &stop);
        sample->SetActualDataLength(BufferSize());
        ++next_;
        return S_OK;
    }
    using TBCSourceStream::GetMediaType;

protected:
    virtual long BufferSize() = 0;
    virtual void Paint(BYTE* data, int64_t index) = 0;
    REFERENCE_TIME Duration() const {
        return source_->Format().frames * source_->Format().frameTime;
    }
    TSyntheticSource* source_;

private:
    REFERENCE_TIME period_;
    int64_t next_ = 0;
    REFERENCE_TIME offset_ = 0;
};

class TSyntheticVideo : public TSyntheticStream {
public:
    explicit TSyntheticVideo(TSyntheticSource* filter)
        : TSyntheticStream(filter, u"Video", filter->Format().frameTime) {}

    HRESULT GetMediaType(TMediaType& type) override {
        const auto& f = source_->Format();
        type = VideoInfoType(MEDIASUBTYPE_YV12, f.width, f.height, f.frameTime);
        return S_OK;
    }

protected:
    long BufferSize() override { return static_cast<long>(CurrentMediaType()->lSampleSize); }
    void Paint(BYTE* data, int64_t index) override {
        const int w = source_->Format().width, h = source_->Format().height;
        std::memset(data, kBlackLuma, size_t(w) * h);
        std::memset(data + size_t(w) * h, 128, size_t(BufferSize()) - size_t(w) * h);
        const int block = w / 8;
        for (int bit = 0; bit < 8; ++bit) {
            const BYTE luma = (index >> (7 - bit)) & 1 ? kWhiteLuma : kBlackLuma;
            for (int y = 0; y < h / 2; ++y) std::memset(data + size_t(y) * w + size_t(bit) * block, luma, block);
        }
    }
};

class TSyntheticAudio : public TSyntheticStream {
public:
    explicit TSyntheticAudio(TSyntheticSource* filter)
        : TSyntheticStream(filter, u"Audio", filter->Format().audioChunk) {}

    HRESULT GetMediaType(TMediaType& type) override {
        type = PcmAudioType(2, source_->Format().sampleRate);
        return S_OK;
    }

protected:
    long FramesPerChunk() const {
        return static_cast<long>(source_->Format().sampleRate * source_->Format().audioChunk / kUnitsPerSecond);
    }
    long BufferSize() override { return FramesPerChunk() * 4; }
    void Paint(BYTE* data, int64_t index) override {
        auto* out = reinterpret_cast<int16_t*>(data);
        const int64_t first = index * FramesPerChunk();
        for (long i = 0; i < FramesPerChunk(); ++i)
            out[2 * i] = out[2 * i + 1] = SyntheticSineAt(first + i, source_->Format().sampleRate);
    }
};

} // namespace

TSyntheticSource::TSyntheticSource(const TSyntheticFormat& format)
    : TImplements(u"Synthetic source", nullptr, GUID_NULL), format_(format) {
    // The filter owns its pins.
    video_ = new TSyntheticVideo(this);
    if (format.audio) audio_ = new TSyntheticAudio(this);
}

HRESULT TSyntheticSource::GetDuration(REFERENCE_TIME* duration) {
    if (!duration) return E_POINTER;
    *duration = format_.frames * format_.frameTime;
    return S_OK;
}

HRESULT TSyntheticSource::GetCurrentPosition(REFERENCE_TIME* position) {
    if (!position) return E_POINTER;
    *position = 0;
    return S_OK;
}

HRESULT TSyntheticSource::GetStopPosition(REFERENCE_TIME* stop) { return GetDuration(stop); }

HRESULT TSyntheticSource::SetPositions(REFERENCE_TIME* current, DWORD currentFlags, REFERENCE_TIME*, DWORD) {
    if ((currentFlags & AM_SEEKING_PositioningBitsMask) != AM_SEEKING_AbsolutePositioning || !current) return S_OK;
    start_ = *current;
    for (TBCSourceStream* pin : {video_, audio_}) {
        if (!pin || !pin->ThreadExists()) continue;
        pin->DeliverBeginFlush();
        pin->StopThread();
        pin->DeliverEndFlush();
        pin->RunThread();
    }
    return S_OK;
}

int16_t SyntheticSineAt(int64_t frame, int sampleRate) {
    const double t = double(frame) / sampleRate;
    return static_cast<int16_t>(std::lround(8000 * std::sin(2 * M_PI * 440 * t)));
}

int ReadPictureIndex(const BYTE* luma, int stride, int width) {
    const int block = width / 8;
    int index = 0;
    for (int bit = 0; bit < 8; ++bit) {
        const BYTE value = luma[size_t(bit) * block + block / 2 + size_t(stride) * 2];
        if (value > 200)
            index |= 1 << (7 - bit);
        else if (value > 60)
            return -1;
    }
    return index;
}

} // namespace media_test
