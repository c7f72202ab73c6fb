#include "skins/ColorManager.h"

#include <algorithm>
#include <cmath>

#include "skins/PNGStrings.h"

namespace {

bool IsGreyOrIndexedSource(TColorScheme scheme) noexcept { return scheme == csIndexed || scheme == csG || scheme == csGA; }
bool IsGreyOrIndexedTarget(TColorScheme scheme) noexcept { return scheme == csIndexed || scheme == csG; }
bool HasAlphaSamples(TColorScheme scheme) noexcept { return scheme == csGA || scheme == csRGBA || scheme == csBGRA; }
bool IsRGBKind(TColorScheme scheme) noexcept { return scheme == csRGB || scheme == csRGBA; }
bool IsBGRKind(TColorScheme scheme) noexcept { return scheme == csBGR || scheme == csBGRA; }
bool Is8Or16(int bits) noexcept { return bits == 8 || bits == 16; }

uint16_t ReadWord(const uint8_t* p, bool swap) noexcept {
    const auto value = uint16_t(p[0] | p[1] << 8);
    return swap ? uint16_t(value >> 8 | value << 8) : value;
}

} // namespace

TColorManager::TColorManager() { SetGamma(1.0f, 2.2f); }

void TColorManager::Error(const String& message) { throw EColorConversionError(message); }

void TColorManager::SetSourceBitsPerSample(uint8_t value) {
    if (value == 0 || value > 16) Error(kBadColorDepth);
    changed_ |= value != sourceBPS_;
    sourceBPS_ = value;
}

void TColorManager::SetTargetBitsPerSample(uint8_t value) {
    if (value == 0 || value > 16) Error(kBadColorDepth);
    changed_ |= value != targetBPS_;
    targetBPS_ = value;
}

void TColorManager::SetSourceSamplesPerPixel(uint8_t value) {
    if (value == 0 || value > 4) Error(kBadSampleCount);
    changed_ |= value != sourceSPP_;
    sourceSPP_ = value;
}

void TColorManager::SetTargetSamplesPerPixel(uint8_t value) {
    if (value == 0 || value > 4) Error(kBadSampleCount);
    changed_ |= value != targetSPP_;
    targetSPP_ = value;
}

void TColorManager::SetSourceColorScheme(TColorScheme value) {
    changed_ |= value != sourceScheme_;
    sourceScheme_ = value;
}

void TColorManager::SetTargetColorScheme(TColorScheme value) {
    changed_ |= value != targetScheme_;
    targetScheme_ = value;
}

TPixelFormat TColorManager::PixelFormatOf(int bitsPerSample, int samplesPerPixel) noexcept {
    if (samplesPerPixel == 1) {
        if (bitsPerSample == 1) return pf1bit;
        if (bitsPerSample <= 4) return pf4bit;
        if (bitsPerSample >= 8) return pf8bit;
    } else if (samplesPerPixel == 3) {
        return bitsPerSample <= 5 ? pf15bit : pf24bit;
    } else if (samplesPerPixel == 4 && bitsPerSample >= 8) {
        return pf32bit;
    }
    return pfCustom;
}

void TColorManager::ConvertRow(TSources source, uint8_t* target, uint32_t count, uint8_t mask) {
    if (changed_) SelectRowConversion();
    if (!rowConversion_) Error(kNoConversionMethod);
    (this->*rowConversion_)(source, target, count, mask);
}

void TColorManager::SelectRowConversion() {
    rowConversion_ = nullptr;
    if (IsGreyOrIndexedSource(sourceScheme_) != IsGreyOrIndexedTarget(targetScheme_)) Error(kIndexedConversion);
    if (HasAlphaSamples(sourceScheme_)) sourceOptions_.Include(coAlpha);
    else sourceOptions_.Exclude(coAlpha);
    if (HasAlphaSamples(targetScheme_)) targetOptions_.Include(coAlpha);
    else targetOptions_.Exclude(coAlpha);

    const int s = sourceBPS_, t = targetBPS_;
    const bool colorDepths = Is8Or16(s) && Is8Or16(t);
    const bool rgbTarget = IsRGBKind(targetScheme_), bgrTarget = IsBGRKind(targetScheme_);
    switch (sourceScheme_) {
    case csIndexed:
        if (s == 16 && t == 16) rowConversion_ = &TColorManager::RowIndexed16To16;
        else if (s == 16) rowConversion_ = &TColorManager::RowIndexed16ToLow;
        else if (t == 16) rowConversion_ = &TColorManager::RowIndexedLowTo16;
        else rowConversion_ = &TColorManager::RowIndexedToIndexed;
        break;
    case csG:
        if (s != 16 && t != 16) rowConversion_ = &TColorManager::RowIndexedToIndexed;
        else if (s >= 8 && t >= 8) rowConversion_ = &TColorManager::RowGrayToGray;
        break;
    case csGA:
        if (colorDepths) rowConversion_ = &TColorManager::RowGrayToGray;
        break;
    case csRGB:
    case csRGBA:
        if (colorDepths && rgbTarget) rowConversion_ = &TColorManager::RowRGBToRGB;
        else if (colorDepths && bgrTarget) rowConversion_ = &TColorManager::RowRGBToBGR;
        break;
    case csBGR:
    case csBGRA:
        if (colorDepths && rgbTarget) rowConversion_ = &TColorManager::RowBGRToRGB;
        else if (colorDepths && bgrTarget) rowConversion_ = &TColorManager::RowBGRToBGR;
        break;
    case csCMYK:
        if (colorDepths && rgbTarget) rowConversion_ = &TColorManager::RowCMYKToRGB;
        else if (colorDepths && bgrTarget) rowConversion_ = &TColorManager::RowCMYKToBGR;
        break;
    case csCIELab:
        if (colorDepths && rgbTarget) rowConversion_ = &TColorManager::RowLabToRGB;
        else if (colorDepths && bgrTarget) rowConversion_ = &TColorManager::RowLabToBGR;
        break;
    case csYCbCr:
    case csPhotoYCC:
        if (colorDepths && (rgbTarget || bgrTarget)) {
            BuildChromaTables();
            if (sourceScheme_ == csYCbCr)
                rowConversion_ = rgbTarget ? &TColorManager::RowYCbCrToRGB : &TColorManager::RowYCbCrToBGR;
            else rowConversion_ = rgbTarget ? &TColorManager::RowPhotoYCCToRGB : &TColorManager::RowPhotoYCCToBGR;
        }
        break;
    default: break;
    }
    changed_ = false;
}

void TColorManager::BuildChromaTables() {
    const double kr = yCbCrCoefficients_[0], kg = yCbCrCoefficients_[1], kb = yCbCrCoefficients_[2];
    const double cr = 2 - 2 * kr, cb = 2 - 2 * kb;
    const bool photo = sourceScheme_ == csPhotoYCC;
    for (auto* table : {&crToRedTable_, &cbToBlueTable_, &crToGreenTable_, &cbToGreenTable_}) table->resize(256);
    for (int i = 0; i < 256; ++i) {
        const double dCr = i - (photo ? 137 : 128), dCb = i - (photo ? 156 : 128);
        crToRedTable_[i] = int32_t(std::nearbyint(cr * dCr));
        cbToBlueTable_[i] = int32_t(std::nearbyint(cb * dCb));
        crToGreenTable_[i] = -int32_t(std::nearbyint(kr * cr / kg * dCr));
        cbToGreenTable_[i] = -int32_t(std::nearbyint(kb * cb / kg * dCb));
    }
}

void TColorManager::SetGamma(float mainGamma, float displayGamma) {
    mainGamma_ = mainGamma > 0 ? mainGamma : 1.0f;
    displayGamma_ = displayGamma > 0 ? displayGamma : 2.2f;
    const double g = 1.0 / (double(mainGamma_) * double(displayGamma_));
    const int targetHigh = targetBPS_ >= 8 ? 255 : (1 << targetBPS_) - 1;
    // A source under 8 bits indexes the table by target values; the table has 256 entries.
    const int sourceHigh = sourceBPS_ >= 8 ? 255 : std::min(targetHigh, 255);
    for (int i = 0; i <= sourceHigh; ++i)
        gammaTable_[size_t(i)] = uint8_t(std::nearbyint(std::pow(double(i) / sourceHigh, g) * targetHigh));
}

HPALETTE TColorManager::CreateColorPalette(std::span<const void* const> data, int dataFormat, uint32_t colorCount,
                                           bool orderFlag) {
    const bool wide = dataFormat >= 4, planar = dataFormat == 2 || dataFormat == 3 || dataFormat >= 6;
    if (dataFormat < 0 || dataFormat > 7 || data.size() < (planar ? 3u : 1u)) Error(kNoConversionMethod);
    const bool gamma = targetOptions_.Contains(coApplyGamma), swap = Swapped();
    auto component = [&](int plane, size_t index) -> uint8_t {
        const auto* base = static_cast<const uint8_t*>(data[size_t(plane)]);
        if (!wide) return gamma ? gammaTable_[base[index]] : base[index];
        const uint8_t v = uint8_t(ReadWord(base + 2 * index, swap) * 255u / 65535u);
        return gamma ? gammaTable_[v] : v;
    };
    const size_t count = std::min<uint32_t>(colorCount, 256);
    const size_t stride = dataFormat % 2 ? 4 : 3;
    // Sample order within an interleaved entry: red first unless the flag says otherwise.
    const bool redFirst = wide ? orderFlag : !orderFlag;
    std::vector<RGBQUAD> entries(count);
    for (size_t i = 0; i < count; ++i) {
        uint8_t r, g, b;
        if (planar) {
            r = component(0, i), g = component(1, i), b = component(2, i);
        } else {
            const uint8_t first = component(0, i * stride), second = component(0, i * stride + 1),
                          third = component(0, i * stride + 2);
            r = redFirst ? first : third, g = second, b = redFirst ? third : first;
        }
        entries[i] = RGBQUAD{b, g, r, 0};
    }
    const uint32_t sourceHigh = (1u << sourceBPS_) - 1, targetHigh = (1u << targetBPS_) - 1;
    if (targetBPS_ <= 8 && sourceHigh != targetHigh) {
        // Index j of the target depth shows the source colour j scaled back; colours not supplied are black.
        std::vector<RGBQUAD> spread(size_t(targetHigh) + 1);
        for (uint32_t j = 0; j <= targetHigh; ++j) {
            const size_t from = size_t(uint64_t(j) * sourceHigh / targetHigh);
            if (from < entries.size()) spread[j] = entries[from];
        }
        entries = std::move(spread);
    }
    return PaletteOfColorTable(entries);
}

HPALETTE TColorManager::CreateGrayscalePalette(bool minimumIsWhite) {
    const int count = 1 << std::min(targetBPS_ * targetSPP_, 8);
    const int step = 255 / (count - 1);
    const bool gamma = targetOptions_.Contains(coApplyGamma);
    std::vector<RGBQUAD> entries(size_t(count), RGBQUAD{});
    for (int i = 0; i < count; ++i) {
        const int level = minimumIsWhite ? count - 1 - i : i;
        const uint8_t v = gamma ? gammaTable_[size_t(level * step)] : uint8_t(level * step);
        entries[size_t(i)] = RGBQUAD{v, v, v, 0};
    }
    return PaletteOfColorTable(entries);
}
