#pragma once
// TColorManager: converts one row of decoded samples from a source colour
// scheme, sample depth and byte order into the pixel layout of a bitmap row
// (B, G, R[, A] bytes, or packed indexes), with an optional gamma table, and
// builds the palettes that go with indexed and grey rows.
//
// A row converter is chosen on the first ConvertRow after a setting changed.
// The pixel mask of ConvertRow picks the target pixels written: bit 7 stands
// for pixel 0 and the bit rotates right by one per pixel; a pixel whose bit is
// clear is skipped without consuming a source sample.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/rtl/Set.h"
#include "platform/ui/graphics/Graphic.h"
#include "platform/ui/graphics/PixelFormats.h"

// Every failure of the colour manager.
RTL_DECLARE_EXCEPTION(EColorConversionError, EInvalidGraphic);

enum class TColorScheme {
    csUnknown, csIndexed, csG, csGA, csRGB, csRGBA, csBGR, csBGRA, csCMY, csCMYK, csCIELab, csYCbCr, csPhotoYCC
};
using enum TColorScheme;

enum class TConvertOption { coAlpha, coApplyGamma, coNeedByteSwap, coLabByteRange, coLabChromaOffset };
using enum TConvertOption;
using TConvertOptions = TSet<TConvertOption>;

class TColorManager {
public:
    // One pointer for interleaved samples, one per plane (three or four) for planar ones.
    using TSources = std::span<const uint8_t* const>;
    using TConversionMethod = void (TColorManager::*)(TSources source, uint8_t* target, uint32_t count, uint8_t mask);

    TColorManager();

    uint8_t SourceBitsPerSample() const noexcept { return sourceBPS_; }
    // Bits 1 to 16; raises "Color depth is invalid..." for 0 and above 16.
    void SetSourceBitsPerSample(uint8_t value);
    uint8_t TargetBitsPerSample() const noexcept { return targetBPS_; }
    void SetTargetBitsPerSample(uint8_t value);
    uint8_t SourceSamplesPerPixel() const noexcept { return sourceSPP_; }
    // 1 to 4; raises "Sample count per pixel..." for 0 and above 4.
    void SetSourceSamplesPerPixel(uint8_t value);
    uint8_t TargetSamplesPerPixel() const noexcept { return targetSPP_; }
    void SetTargetSamplesPerPixel(uint8_t value);
    TColorScheme SourceColorScheme() const noexcept { return sourceScheme_; }
    void SetSourceColorScheme(TColorScheme value);
    TColorScheme TargetColorScheme() const noexcept { return targetScheme_; }
    void SetTargetColorScheme(TColorScheme value);
    TConvertOptions SourceOptions() const noexcept { return sourceOptions_; }
    void SetSourceOptions(TConvertOptions value) noexcept { sourceOptions_ = value; }
    TConvertOptions TargetOptions() const noexcept { return targetOptions_; }
    void SetTargetOptions(TConvertOptions value) noexcept { targetOptions_ = value; }
    TPixelFormat SourcePixelFormat() const noexcept { return PixelFormatOf(sourceBPS_, sourceSPP_); }
    TPixelFormat TargetPixelFormat() const noexcept { return PixelFormatOf(targetBPS_, targetSPP_); }

    // Count target pixels from Source into Target. Raises "Color conversion
    // failed. Could not find a proper method." when no converter fits the
    // settings, and the indexed/non-indexed error when one side is indexed.
    void ConvertRow(TSources source, uint8_t* target, uint32_t count, uint8_t mask);

    // A palette of min(ColorCount, 256) colours (owned by the caller). DataFormat:
    // 0/1 interleaved 8-bit triples/quadruples, 2 three 8-bit planes (3 too),
    // 4/5 interleaved 16-bit triples/quadruples, 6 three 16-bit planes (7 too).
    // OrderFlag: B, G, R for 8-bit data, R, G, B for 16-bit data. When the
    // source and target depths (up to 8) differ, the entries are spread over
    // the target's 2^depth indexes; entries past the data are black.
    HPALETTE CreateColorPalette(std::span<const void* const> data, int dataFormat, uint32_t colorCount,
                                bool orderFlag);
    // 2^min(target bits x target samples, 8) greys from black to white (or back).
    HPALETTE CreateGrayscalePalette(bool minimumIsWhite);
    // Main gamma and display gamma not above 0 become 1.0 and 2.2; the table
    // follows the depths set at the time of the call.
    void SetGamma(float mainGamma, float displayGamma);
    float MainGamma() const noexcept { return mainGamma_; }
    float DisplayGamma() const noexcept { return displayGamma_; }
    const std::array<uint8_t, 256>& GammaTable() const noexcept { return gammaTable_; }

    [[noreturn]] static void Error(const String& message);

private:
    static TPixelFormat PixelFormatOf(int bitsPerSample, int samplesPerPixel) noexcept;
    void SelectRowConversion();
    void BuildChromaTables();
    // Per-row lookups the converters share.
    bool Swapped() const noexcept { return sourceOptions_.Contains(coNeedByteSwap); }
    const uint8_t* Sample8Table() const noexcept;
    uint8_t Sample16To8(uint16_t raw) const noexcept;
    uint16_t Sample16(uint16_t raw) const noexcept;

    void RowIndexedToIndexed(TSources source, uint8_t* target, uint32_t count, uint8_t mask);
    void RowIndexed16To16(TSources source, uint8_t* target, uint32_t count, uint8_t mask);
    void RowIndexed16ToLow(TSources source, uint8_t* target, uint32_t count, uint8_t mask);
    void RowIndexedLowTo16(TSources source, uint8_t* target, uint32_t count, uint8_t mask);
    void RowGrayToGray(TSources source, uint8_t* target, uint32_t count, uint8_t mask);
    void RowRGBToBGR(TSources source, uint8_t* target, uint32_t count, uint8_t mask);
    void RowRGBToRGB(TSources source, uint8_t* target, uint32_t count, uint8_t mask);
    void RowBGRToRGB(TSources source, uint8_t* target, uint32_t count, uint8_t mask);
    void RowBGRToBGR(TSources source, uint8_t* target, uint32_t count, uint8_t mask);
    void RowCMYKToBGR(TSources source, uint8_t* target, uint32_t count, uint8_t mask);
    void RowCMYKToRGB(TSources source, uint8_t* target, uint32_t count, uint8_t mask);
    void RowLabToBGR(TSources source, uint8_t* target, uint32_t count, uint8_t mask);
    void RowLabToRGB(TSources source, uint8_t* target, uint32_t count, uint8_t mask);
    void RowYCbCrToBGR(TSources source, uint8_t* target, uint32_t count, uint8_t mask);
    void RowYCbCrToRGB(TSources source, uint8_t* target, uint32_t count, uint8_t mask);
    void RowPhotoYCCToBGR(TSources source, uint8_t* target, uint32_t count, uint8_t mask);
    void RowPhotoYCCToRGB(TSources source, uint8_t* target, uint32_t count, uint8_t mask);

    // Three colour samples (R, G, B in the source's order) per pixel into R, G, B or B, G, R.
    void ConvertColorRow(TSources source, uint8_t* target, uint32_t count, uint8_t mask, bool sourceBGR,
                         bool targetBGR);
    void ConvertCMYKRow(TSources source, uint8_t* target, uint32_t count, uint8_t mask, bool targetBGR);
    void ConvertLabRow(TSources source, uint8_t* target, uint32_t count, uint8_t mask, bool targetBGR);
    void ConvertYCbCrRow(TSources source, uint8_t* target, uint32_t count, uint8_t mask, bool targetBGR);

    bool changed_ = true;
    uint8_t sourceBPS_ = 8, targetBPS_ = 8;
    uint8_t sourceSPP_ = 3, targetSPP_ = 3;
    float mainGamma_ = 1.0f, displayGamma_ = 2.2f;
    std::array<uint8_t, 256> gammaTable_{};
    std::array<float, 3> yCbCrCoefficients_{0.299f, 0.587f, 0.114f};
    std::vector<int32_t> crToRedTable_, cbToBlueTable_, crToGreenTable_, cbToGreenTable_;
    TColorScheme sourceScheme_ = csRGB, targetScheme_ = csBGR;
    TConversionMethod rowConversion_ = nullptr;
    TConvertOptions sourceOptions_, targetOptions_;
};
