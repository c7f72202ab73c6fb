#pragma once
// Media fixtures made in memory for the engine tests.

#include <cstdint>
#include <vector>

#include "platform/rtl/Stream.h"

// A stream over a byte vector.
class TTestMemoryStream : public TStream {
public:
    explicit TTestMemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }

private:
    std::vector<uint8_t> bytes_;
    int64_t position_ = 0;
};

// 16-bit little-endian mono PCM samples, a recognisable ramp.
std::vector<uint8_t> MakePcm(int samples);
// A RIFF/WAVE file around Pcm.
std::vector<uint8_t> MakeWav(const std::vector<uint8_t>& pcm, int sampleRate);
