// The row converters of TColorManager: one loop per kind of row, walking the
// target pixels under the pixel mask.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "skins/ColorManager.h"

namespace {

constexpr std::array<uint8_t, 256> kIdentitySamples = [] {
    std::array<uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i) table[size_t(i)] = uint8_t(i);
    return table;
}();

uint16_t LoadWord(const uint8_t* p) noexcept { return uint16_t(p[0] | p[1] << 8); }
void StoreWord(uint8_t* p, uint16_t value) noexcept {
    p[0] = uint8_t(value);
    p[1] = uint8_t(value >> 8);
}
uint16_t SwapWord(uint16_t value) noexcept { return uint16_t(value >> 8 | value << 8); }
// 8-bit values go to 16 bits as v x 65535 / 255 = v x 257, whose two bytes are
// equal: the byte order of a widened sample never needs exchanging.
uint16_t Widen8(uint32_t value8) noexcept { return uint16_t(value8 * 65535u / 255u); }
uint8_t Clamp255(int64_t value) noexcept { return uint8_t(std::clamp<int64_t>(value, 0, 255)); }
// The next mask bit: bit 7 tests the current pixel.
uint8_t NextMask(uint8_t mask) noexcept { return uint8_t(mask << 1 | mask >> 7); }
bool PackedDepth(int bits) noexcept { return bits == 1 || bits == 2 || bits == 4 || bits == 8; }

// Reads samples of Bits bits packed most significant bit first.
class TPackedReader {
public:
    TPackedReader(const uint8_t* data, int bits) noexcept : p_(data), bits_(bits), high_((1u << bits) - 1) {}
    uint32_t Next() noexcept {
        left_ -= bits_;
        const uint32_t value = uint32_t(*p_ >> left_) & high_;
        if (left_ == 0) {
            ++p_;
            left_ = 8;
        }
        return value;
    }

private:
    const uint8_t* p_;
    int bits_;
    uint32_t high_;
    int left_ = 8;
};

// Writes a field of Bits bits per pixel, packed most significant bit first,
// keeping the other bits of each byte; Skip moves past a pixel unwritten.
class TPackedWriter {
public:
    TPackedWriter(uint8_t* data, int bits) noexcept : p_(data), bits_(bits), high_((1u << bits) - 1), shift_(8 - bits) {}
    void Put(uint32_t value) noexcept {
        *p_ = uint8_t((*p_ & ~(high_ << shift_)) | (value << shift_));
        Skip();
    }
    void Skip() noexcept {
        if (shift_ == 0) {
            ++p_;
            shift_ = 8 - bits_;
        } else {
            shift_ -= bits_;
        }
    }

private:
    uint8_t* p_;
    int bits_;
    uint32_t high_;
    int shift_;
};

// Where the samples of a pixel come from: interleaved in one row, or one plane each.
struct TSampleWalk {
    const uint8_t* planes[4] = {};
    bool planar = false;
    size_t step = 0;      // bytes from one interleaved pixel to the next
    size_t sampleSize = 1; // bytes per sample

    TSampleWalk(std::span<const uint8_t* const> source, int samples, int bits) noexcept
        : planar(source.size() >= 3), sampleSize(bits == 16 ? 2 : 1) {
        for (size_t i = 0; i < std::min<size_t>(source.size(), 4); ++i) planes[i] = source[i];
        step = planar ? sampleSize : size_t(samples) * sampleSize;
    }
    // Sample K of the current pixel.
    const uint8_t* Sample(int k) const noexcept { return planar ? planes[k] : planes[0] + size_t(k) * sampleSize; }
    void Advance() noexcept {
        if (!planar) planes[0] += step;
        else
            for (const uint8_t*& plane : planes)
                if (plane) plane += step;
    }
};

} // namespace

const uint8_t* TColorManager::Sample8Table() const noexcept {
    return targetOptions_.Contains(coApplyGamma) ? gammaTable_.data() : kIdentitySamples.data();
}

uint8_t TColorManager::Sample16To8(uint16_t raw) const noexcept {
    return uint8_t((Swapped() ? SwapWord(raw) : raw) * 255u / 65535u);
}

uint16_t TColorManager::Sample16(uint16_t raw) const noexcept { return Swapped() ? SwapWord(raw) : raw; }

void TColorManager::RowIndexedToIndexed(TSources source, uint8_t* target, uint32_t count, uint8_t mask) {
    const int s = sourceBPS_, t = targetBPS_;
    if (!PackedDepth(s) || !PackedDepth(t)) return;
    if (s == t && mask == 0xFF) {
        std::memcpy(target, source[0], size_t((uint64_t(count) * uint64_t(s) + 7) / 8));
        return;
    }
    const uint32_t sourceHigh = (1u << s) - 1, targetHigh = (1u << t) - 1;
    TPackedReader in(source[0], s);
    TPackedWriter out(target, t);
    for (uint32_t i = 0; i < count; ++i, mask = NextMask(mask)) {
        if (mask & 0x80) out.Put(in.Next() * targetHigh / sourceHigh);
        else out.Skip();
    }
}

void TColorManager::RowIndexed16To16(TSources source, uint8_t* target, uint32_t count, uint8_t mask) {
    if (mask == 0xFF && !Swapped()) {
        std::memcpy(target, source[0], size_t(count) * 2);
        return;
    }
    const uint8_t* in = source[0];
    for (uint32_t i = 0; i < count; ++i, mask = NextMask(mask), target += 2) {
        if (!(mask & 0x80)) continue;
        StoreWord(target, Sample16(LoadWord(in)));
        in += 2;
    }
}

void TColorManager::RowIndexed16ToLow(TSources source, uint8_t* target, uint32_t count, uint8_t mask) {
    const int t = targetBPS_;
    if (!PackedDepth(t)) return;
    const uint32_t targetHigh = (1u << t) - 1;
    const uint8_t* in = source[0];
    TPackedWriter out(target, t);
    for (uint32_t i = 0; i < count; ++i, mask = NextMask(mask)) {
        if (!(mask & 0x80)) {
            out.Skip();
            continue;
        }
        out.Put(Sample16(LoadWord(in)) * targetHigh / 65535u);
        in += 2;
    }
}

void TColorManager::RowIndexedLowTo16(TSources source, uint8_t* target, uint32_t count, uint8_t mask) {
    const int s = sourceBPS_;
    if (!PackedDepth(s)) return;
    const uint32_t sourceHigh = (1u << s) - 1;
    TPackedReader in(source[0], s);
    for (uint32_t i = 0; i < count; ++i, mask = NextMask(mask), target += 2) {
        if (!(mask & 0x80)) continue;
        // 1, 2, 4 and 8-bit values scale to words of equal bytes, the same in either byte order.
        StoreWord(target, uint16_t(in.Next() * 65535u / sourceHigh));
    }
}

void TColorManager::RowGrayToGray(TSources source, uint8_t* target, uint32_t count, uint8_t mask) {
    const bool wideIn = sourceBPS_ == 16, wideOut = targetBPS_ == 16;
    const size_t step = (sourceOptions_.Contains(coAlpha) ? 2 : 1) * (wideIn ? 2 : 1);
    const size_t targetStep = wideOut ? 2 : 1;
    const uint8_t* in = source[0];
    for (uint32_t i = 0; i < count; ++i, mask = NextMask(mask), target += targetStep) {
        if (!(mask & 0x80)) continue;
        if (!wideIn && !wideOut) *target = *in;
        else if (!wideIn) StoreWord(target, Widen8(*in));
        else if (!wideOut) *target = Sample16To8(LoadWord(in));
        else StoreWord(target, Sample16(LoadWord(in)));
        in += step;
    }
}

void TColorManager::RowRGBToBGR(TSources s, uint8_t* t, uint32_t n, uint8_t m) { ConvertColorRow(s, t, n, m, false, true); }
void TColorManager::RowRGBToRGB(TSources s, uint8_t* t, uint32_t n, uint8_t m) { ConvertColorRow(s, t, n, m, false, false); }
void TColorManager::RowBGRToRGB(TSources s, uint8_t* t, uint32_t n, uint8_t m) { ConvertColorRow(s, t, n, m, true, false); }
void TColorManager::RowBGRToBGR(TSources s, uint8_t* t, uint32_t n, uint8_t m) { ConvertColorRow(s, t, n, m, true, true); }

void TColorManager::ConvertColorRow(TSources source, uint8_t* target, uint32_t count, uint8_t mask, bool sourceBGR,
                                    bool targetBGR) {
    const bool sourceAlpha = sourceOptions_.Contains(coAlpha), targetAlpha = targetOptions_.Contains(coAlpha);
    const bool wideIn = sourceBPS_ == 16, wideOut = targetBPS_ == 16;
    const uint8_t* lut = Sample8Table();
    const size_t targetStep = size_t(targetAlpha ? 4 : 3) * (wideOut ? 2 : 1);
    // Target sample k (0 = first byte) comes from source sample order[k].
    const int red = sourceBGR ? 2 : 0, blue = sourceBGR ? 0 : 2;
    const int order[3] = {targetBGR ? blue : red, 1, targetBGR ? red : blue};
    const bool copyAlpha = sourceAlpha && targetAlpha;
    TSampleWalk in(source, sourceAlpha ? 4 : 3, sourceBPS_);

    if (!wideIn && !wideOut && !in.planar && mask == 0xFF) {
        // The common case of 8-bit rows, kept free of per-pixel decisions.
        const uint8_t* p = in.planes[0];
        const size_t step = in.step;
        for (uint32_t i = 0; i < count; ++i, p += step, target += targetStep) {
            target[0] = lut[p[order[0]]];
            target[1] = lut[p[1]];
            target[2] = lut[p[order[2]]];
            if (copyAlpha) target[3] = p[3];
        }
        return;
    }
    for (uint32_t i = 0; i < count; ++i, mask = NextMask(mask), target += targetStep) {
        if (!(mask & 0x80)) continue;
        for (int k = 0; k < 3; ++k) {
            const uint8_t* sample = in.Sample(order[k]);
            if (!wideIn && !wideOut) target[k] = lut[*sample];
            else if (!wideOut) target[k] = lut[Sample16To8(LoadWord(sample))];
            else if (!wideIn) StoreWord(target + 2 * k, Widen8(lut[*sample]));
            else StoreWord(target + 2 * k, Sample16(LoadWord(sample)));
        }
        if (copyAlpha) {
            const uint8_t* alpha = in.Sample(3);
            if (!wideIn && !wideOut) target[3] = *alpha;
            else if (!wideOut) target[3] = Sample16To8(LoadWord(alpha));
            else if (!wideIn) StoreWord(target + 6, Widen8(*alpha));
            else StoreWord(target + 6, Sample16(LoadWord(alpha)));
        }
        in.Advance();
    }
}

void TColorManager::RowCMYKToBGR(TSources s, uint8_t* t, uint32_t n, uint8_t m) { ConvertCMYKRow(s, t, n, m, true); }
void TColorManager::RowCMYKToRGB(TSources s, uint8_t* t, uint32_t n, uint8_t m) { ConvertCMYKRow(s, t, n, m, false); }

void TColorManager::ConvertCMYKRow(TSources source, uint8_t* target, uint32_t count, uint8_t mask, bool targetBGR) {
    const bool wideIn = sourceBPS_ == 16, wideOut = targetBPS_ == 16;
    const size_t targetStep = size_t(targetOptions_.Contains(coAlpha) ? 4 : 3) * (wideOut ? 2 : 1);
    TSampleWalk in(source, 4, sourceBPS_);
    for (uint32_t i = 0; i < count; ++i, mask = NextMask(mask), target += targetStep) {
        if (!(mask & 0x80)) continue;
        auto read = [&](int k) -> int64_t { return wideIn ? Sample16(LoadWord(in.Sample(k))) : *in.Sample(k); };
        const int64_t k = read(3);
        for (int c = 0; c < 3; ++c) {
            const int64_t ink = read(c); // C, M, Y give R, G, B
            const int slot = targetBGR ? 2 - c : c;
            if (!wideIn) {
                const uint8_t value = Clamp255(ink * k / 255 - ink - k + 255);
                if (wideOut) StoreWord(target + 2 * slot, Widen8(value));
                else target[slot] = value;
            } else if (wideOut) {
                StoreWord(target + 2 * slot, uint16_t(std::clamp<int64_t>(ink * k / 65535 - ink - k + 65535, 0, 65535)));
            } else {
                target[slot] = Clamp255(255 - (ink + k - ink * k / 65535) * 255 / 65535);
            }
        }
        in.Advance();
    }
}

void TColorManager::RowLabToBGR(TSources s, uint8_t* t, uint32_t n, uint8_t m) { ConvertLabRow(s, t, n, m, true); }
void TColorManager::RowLabToRGB(TSources s, uint8_t* t, uint32_t n, uint8_t m) { ConvertLabRow(s, t, n, m, false); }

// 16-bit samples are read whole (swapped as needed); without the chroma offset
// a* and b* are the low byte read as a signed byte.
void TColorManager::ConvertLabRow(TSources source, uint8_t* target, uint32_t count, uint8_t mask, bool targetBGR) {
    const bool wideIn = sourceBPS_ == 16, wideOut = targetBPS_ == 16;
    const bool byteRange = sourceOptions_.Contains(coLabByteRange), chromaOffset = sourceOptions_.Contains(coLabChromaOffset);
    const size_t targetStep = size_t(targetOptions_.Contains(coAlpha) ? 4 : 3) * (wideOut ? 2 : 1);
    TSampleWalk in(source, sourceOptions_.Contains(coAlpha) ? 4 : 3, sourceBPS_);
    for (uint32_t i = 0; i < count; ++i, mask = NextMask(mask), target += targetStep) {
        if (!(mask & 0x80)) continue;
        auto read = [&](int k) -> uint32_t { return wideIn ? Sample16(LoadWord(in.Sample(k))) : *in.Sample(k); };
        auto chroma = [&](int k) -> double {
            const uint32_t v = read(k);
            return chromaOffset ? double(int64_t(v) - 128) : double(int8_t(uint8_t(v)));
        };
        const double l = byteRange ? read(0) / 2.55 : double(read(0));
        const double a = chroma(1), b = chroma(2);
        double x, y, z;
        if (l < 7.9996) {
            y = l / 903.3;
            x = y + a / 3893.5;
            z = y - b / 1557.4;
        } else {
            y = (l + 16) / 116;
            x = y + a / 500;
            z = y - b / 200;
            x = x * x * x, y = y * y * y, z = z * z * z;
        }
        const double rgb[3] = {2.998 * x - 1.458 * y - 0.541 * z, -0.952 * x + 1.893 * y + 0.059 * z,
                               0.099 * x - 0.198 * y + 1.099 * z};
        for (int c = 0; c < 3; ++c) {
            const uint8_t value = Clamp255(int64_t(std::nearbyint(rgb[c] * 255)));
            const int slot = targetBGR ? 2 - c : c;
            if (wideOut) StoreWord(target + 2 * slot, Widen8(value));
            else target[slot] = value;
        }
        in.Advance();
    }
}

void TColorManager::RowYCbCrToBGR(TSources s, uint8_t* t, uint32_t n, uint8_t m) { ConvertYCbCrRow(s, t, n, m, true); }
void TColorManager::RowYCbCrToRGB(TSources s, uint8_t* t, uint32_t n, uint8_t m) { ConvertYCbCrRow(s, t, n, m, false); }
void TColorManager::RowPhotoYCCToBGR(TSources s, uint8_t* t, uint32_t n, uint8_t m) { ConvertYCbCrRow(s, t, n, m, true); }
void TColorManager::RowPhotoYCCToRGB(TSources s, uint8_t* t, uint32_t n, uint8_t m) { ConvertYCbCrRow(s, t, n, m, false); }

// The chroma tables tell YCbCr from PhotoYCC; 16-bit samples are taken to 8 bits first.
void TColorManager::ConvertYCbCrRow(TSources source, uint8_t* target, uint32_t count, uint8_t mask, bool targetBGR) {
    const bool wideIn = sourceBPS_ == 16, wideOut = targetBPS_ == 16;
    const size_t targetStep = size_t(targetOptions_.Contains(coAlpha) ? 4 : 3) * (wideOut ? 2 : 1);
    TSampleWalk in(source, sourceOptions_.Contains(coAlpha) ? 4 : 3, sourceBPS_);
    for (uint32_t i = 0; i < count; ++i, mask = NextMask(mask), target += targetStep) {
        if (!(mask & 0x80)) continue;
        auto read = [&](int k) -> int { return wideIn ? Sample16To8(LoadWord(in.Sample(k))) : *in.Sample(k); };
        const int y = read(0), cb = read(1), cr = read(2);
        const uint8_t rgb[3] = {Clamp255(y + crToRedTable_[size_t(cr)]),
                                Clamp255(y + cbToGreenTable_[size_t(cb)] + crToGreenTable_[size_t(cr)]),
                                Clamp255(y + cbToBlueTable_[size_t(cb)])};
        for (int c = 0; c < 3; ++c) {
            const int slot = targetBGR ? 2 - c : c;
            if (wideOut) StoreWord(target + 2 * slot, Widen8(rgb[c]));
            else target[slot] = rgb[c];
        }
        in.Advance();
    }
}
