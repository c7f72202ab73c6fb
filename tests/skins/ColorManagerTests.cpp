// The colour manager by tables of hand-computed rows: every converter of the
// selection, byte swapping, pixel masks, gamma, palettes and grey ramps, and
// the errors of settings no converter fits.

#include <gtest/gtest.h>

#include <cmath>

#include "platform/win/gdi/Gdi.h"
#include "skins/ColorManager.h"

namespace {

using TPlanes = std::vector<std::vector<uint8_t>>;

// The gamma table of SetGamma(0.5, 1) at 8 bits is round(i^2 / 255):
// 50 -> 10, 100 -> 39, 128 -> 64, 200 -> 157.
constexpr float kSquareGamma = 0.5f;

struct TRowCase {
    const char* name;
    TColorScheme from, to;
    uint8_t sourceBits, targetBits;
    TConvertOptions sourceOptions, targetOptions;
    TPlanes planes; // one for interleaved samples, three or four for planes
    uint32_t count;
    uint8_t mask;
    std::vector<uint8_t> target, expected;
};

std::vector<uint8_t> ConvertedRow(const TRowCase& c) {
    TColorManager manager;
    manager.SetSourceColorScheme(c.from);
    manager.SetTargetColorScheme(c.to);
    manager.SetSourceBitsPerSample(c.sourceBits);
    manager.SetTargetBitsPerSample(c.targetBits);
    manager.SetSourceOptions(c.sourceOptions);
    manager.SetTargetOptions(c.targetOptions);
    manager.SetGamma(kSquareGamma, 1.0f);
    std::vector<const uint8_t*> sources;
    for (const std::vector<uint8_t>& plane : c.planes) sources.push_back(plane.data());
    std::vector<uint8_t> target = c.target;
    manager.ConvertRow(sources, target.data(), c.count, c.mask);
    return target;
}

const TConvertOptions kSwap{coNeedByteSwap}, kGamma{coApplyGamma}, kNone{};

TEST(ColorManager, IndexedAndGreyRows) {
    const std::vector<TRowCase> cases{
        {"1 -> 1 copies whole bytes", csIndexed, csIndexed, 1, 1, kNone, kNone, {{0xA5, 0x0F}}, 12, 0xFF,
         {0, 0, 0x77}, {0xA5, 0x0F, 0x77}},
        {"1 -> 1 under mask 0x55 writes the odd pixels only", csIndexed, csIndexed, 1, 1, kNone, kNone, {{0xB2}}, 16,
         0x55, {0xAA, 0x00}, {0xEF, 0x04}},
        {"2 -> 4 times 5", csIndexed, csIndexed, 2, 4, kNone, kNone, {{0x1B}}, 4, 0xFF, {0, 0}, {0x05, 0xAF}},
        {"4 -> 2 times 3 / 15", csIndexed, csIndexed, 4, 2, kNone, kNone, {{0x0F, 0x5A}}, 4, 0xFF, {0}, {0x36}},
        {"8 -> 1 keeps only 255", csIndexed, csIndexed, 8, 1, kNone, kNone, {{255, 254, 0, 255}}, 4, 0xFF, {0},
         {0x90}},
        {"16 -> 16 copies", csIndexed, csIndexed, 16, 16, kNone, kNone, {{1, 2, 3, 4}}, 2, 0xFF, {0, 0, 0, 0},
         {1, 2, 3, 4}},
        {"16 -> 16 swapped", csIndexed, csIndexed, 16, 16, kSwap, kNone, {{0x12, 0x34, 0xAB, 0xCD}}, 2, 0xFF,
         {0, 0, 0, 0}, {0x34, 0x12, 0xCD, 0xAB}},
        {"16 -> 16 under mask 0x40", csIndexed, csIndexed, 16, 16, kNone, kNone, {{1, 2}}, 2, 0x40, {9, 9, 9, 9},
         {9, 9, 1, 2}},
        {"16 -> 4 swapped, x 15 / 65535", csIndexed, csIndexed, 16, 4, kSwap, kNone, {{0xFF, 0xFF, 0x80, 0x00}}, 2,
         0xFF, {0}, {0xF7}},
        {"2 -> 16", csIndexed, csIndexed, 2, 16, kSwap, kNone, {{0x60}}, 2, 0xFF, {0, 0, 0, 0},
         {0x55, 0x55, 0xAA, 0xAA}},
        {"grey 16 -> 8 swapped: 0xFFFF, 0x8000, 0x1234", csG, csG, 16, 8, kSwap, kNone,
         {{0xFF, 0xFF, 0x80, 0x00, 0x12, 0x34}}, 3, 0xFF, {0, 0, 0}, {255, 127, 18}},
        {"grey 16 -> 8 unswapped", csG, csG, 16, 8, kNone, kNone, {{0x00, 0x80, 0x12, 0x34}}, 2, 0xFF, {0, 0},
         {127, 51}},
        {"grey 16 -> 8 ignores gamma", csG, csG, 16, 8, kNone, kGamma, {{0x00, 0x80}}, 1, 0xFF, {0}, {127}},
        {"grey 8 -> 16", csG, csG, 8, 16, kNone, kNone, {{1, 255}}, 2, 0xFF, {0, 0, 0, 0}, {1, 1, 255, 255}},
        {"grey 16 -> 16 swapped", csG, csG, 16, 16, kSwap, kNone, {{0x12, 0x34}}, 1, 0xFF, {0, 0}, {0x34, 0x12}},
        {"grey 2 -> 4 under mask 0x08", csG, csIndexed, 2, 4, kNone, kNone, {{0xC0}}, 8, 0x08, {0, 0, 0, 0},
         {0, 0, 0xF0, 0}},
        {"grey + alpha 16 -> 8 skips the alpha", csGA, csIndexed, 16, 8, kSwap, kNone,
         {{0x80, 0x00, 0xFF, 0xFF, 0x12, 0x34, 0, 0}}, 2, 0xFF, {0, 0}, {127, 18}},
        {"grey + alpha 8 -> 8", csGA, csIndexed, 8, 8, kNone, kNone, {{10, 200, 20, 100}}, 2, 0xFF, {0, 0}, {10, 20}},
    };
    for (const TRowCase& c : cases) EXPECT_EQ(ConvertedRow(c), c.expected) << c.name;
}

TEST(ColorManager, ColourRows) {
    const std::vector<TRowCase> cases{
        {"RGB -> BGR", csRGB, csBGR, 8, 8, kNone, kNone, {{1, 2, 3, 4, 5, 6}}, 2, 0xFF, std::vector<uint8_t>(6),
         {3, 2, 1, 6, 5, 4}},
        {"RGB -> BGR through the gamma table", csRGB, csBGR, 8, 8, kNone, kGamma, {{100, 200, 50}}, 1, 0xFF,
         std::vector<uint8_t>(3), {10, 157, 39}},
        {"RGBA -> BGRA, alpha without gamma", csRGBA, csBGRA, 8, 8, kNone, kGamma, {{100, 200, 50, 100}}, 1, 0xFF,
         std::vector<uint8_t>(4), {10, 157, 39, 100}},
        {"RGB -> BGRA leaves the target's alpha", csRGB, csBGRA, 8, 8, kNone, kNone, {{1, 2, 3}}, 1, 0xFF,
         {9, 9, 9, 77}, {3, 2, 1, 77}},
        {"RGBA -> BGR steps four samples", csRGBA, csBGR, 8, 8, kNone, kNone, {{1, 2, 3, 4, 5, 6, 7, 8}}, 2, 0xFF,
         std::vector<uint8_t>(6), {3, 2, 1, 7, 6, 5}},
        {"RGB -> BGR under mask 0x40", csRGB, csBGR, 8, 8, kNone, kNone, {{1, 2, 3}}, 2, 0x40,
         std::vector<uint8_t>(6, 9), {9, 9, 9, 3, 2, 1}},
        {"RGB 16 -> BGR 8 swapped", csRGB, csBGR, 16, 8, kSwap, kNone, {{0xFF, 0xFF, 0x80, 0x00, 0x12, 0x34}}, 1,
         0xFF, std::vector<uint8_t>(3), {18, 127, 255}},
        {"RGB 16 -> BGR 8 swapped, then gamma", csRGB, csBGR, 16, 8, kSwap, kGamma, {{0x64, 0x64, 0xC8, 0xC8, 0, 0}},
         1, 0xFF, std::vector<uint8_t>(3), {0, 157, 39}},
        {"RGBA 16 -> BGRA 8 swapped, alpha scaled", csRGBA, csBGRA, 16, 8, kSwap, kGamma,
         {{0, 0, 0, 0, 0, 0, 0x80, 0x00}}, 1, 0xFF, std::vector<uint8_t>(4), {0, 0, 0, 127}},
        {"RGB 8 -> RGB 16, gamma first", csRGB, csRGB, 8, 16, kSwap, kGamma, {{100, 200, 50}}, 1, 0xFF,
         std::vector<uint8_t>(6), {0x27, 0x27, 0x9D, 0x9D, 0x0A, 0x0A}},
        {"RGBA 8 -> BGRA 16, alpha widened", csRGBA, csBGRA, 8, 16, kNone, kNone, {{0, 0, 0, 2}}, 1, 0xFF,
         std::vector<uint8_t>(8), {0, 0, 0, 0, 0, 0, 2, 2}},
        {"RGB 16 -> RGB 16 swapped", csRGB, csRGB, 16, 16, kSwap, kNone, {{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}}, 1,
         0xFF, std::vector<uint8_t>(6), {0x34, 0x12, 0x78, 0x56, 0xBC, 0x9A}},
        {"RGB -> RGB", csRGB, csRGB, 8, 8, kNone, kNone, {{1, 2, 3}}, 1, 0xFF, std::vector<uint8_t>(3), {1, 2, 3}},
        {"BGR -> RGB", csBGR, csRGB, 8, 8, kNone, kNone, {{1, 2, 3}}, 1, 0xFF, std::vector<uint8_t>(3), {3, 2, 1}},
        {"BGR -> BGR", csBGR, csBGR, 8, 8, kNone, kNone, {{1, 2, 3}}, 1, 0xFF, std::vector<uint8_t>(3), {1, 2, 3}},
        {"BGRA -> RGBA", csBGRA, csRGBA, 8, 8, kNone, kNone, {{1, 2, 3, 4}}, 1, 0xFF, std::vector<uint8_t>(4),
         {3, 2, 1, 4}},
        {"planar RGB -> BGR", csRGB, csBGR, 8, 8, kNone, kNone, {{1, 4}, {2, 5}, {3, 6}}, 2, 0xFF,
         std::vector<uint8_t>(6), {3, 2, 1, 6, 5, 4}},
        {"planar RGBA -> BGRA", csRGBA, csBGRA, 8, 8, kNone, kNone, {{1}, {2}, {3}, {4}}, 1, 0xFF,
         std::vector<uint8_t>(4), {3, 2, 1, 4}},
        {"planar RGB 16 -> BGR 8 swapped", csRGB, csBGR, 16, 8, kSwap, kNone, {{0xFF, 0xFF}, {0x80, 0x00}, {0x12, 0x34}},
         1, 0xFF, std::vector<uint8_t>(3), {18, 127, 255}},
        {"planar BGR -> RGB under mask 0x80", csBGR, csRGB, 8, 8, kNone, kNone, {{1}, {2}, {3}}, 2, 0x80,
         std::vector<uint8_t>(6, 9), {3, 2, 1, 9, 9, 9}},
    };
    for (const TRowCase& c : cases) EXPECT_EQ(ConvertedRow(c), c.expected) << c.name;
}

// C 100, M 0, Y 255, K 50 give R (255 - 100)(255 - 50) / 255 = 124, G 205, B 0.
// 16 bits, C 0, M 0xFFFF, Y 0x8000, K 0x4000: R 49151, G 0, B 24575 (8 bits: 192, 0, 96).
TEST(ColorManager, CMYKRows) {
    const std::vector<uint8_t> wide{0, 0, 0xFF, 0xFF, 0x80, 0x00, 0x40, 0x00};
    const std::vector<TRowCase> cases{
        {"8 -> BGR", csCMYK, csBGR, 8, 8, kNone, kNone, {{100, 0, 255, 50}}, 1, 0xFF, std::vector<uint8_t>(3),
         {0, 205, 124}},
        {"8 -> RGB", csCMYK, csRGB, 8, 8, kNone, kNone, {{100, 0, 255, 50}}, 1, 0xFF, std::vector<uint8_t>(3),
         {124, 205, 0}},
        {"8 -> RGB 16", csCMYK, csRGB, 8, 16, kNone, kNone, {{100, 0, 255, 50}}, 1, 0xFF, std::vector<uint8_t>(6),
         {0x7C, 0x7C, 0xCD, 0xCD, 0, 0}},
        {"16 -> RGB 16, samples swapped", csCMYK, csRGB, 16, 16, kSwap, kNone, {wide}, 1, 0xFF,
         std::vector<uint8_t>(6), {0xFF, 0xBF, 0, 0, 0xFF, 0x5F}},
        {"16 -> BGR 8, samples swapped", csCMYK, csBGR, 16, 8, kSwap, kNone, {wide}, 1, 0xFF, std::vector<uint8_t>(3),
         {96, 0, 192}},
        {"planes -> BGRA, mask 0x40", csCMYK, csBGRA, 8, 8, kNone, kNone, {{100}, {0}, {255}, {50}}, 2, 0x40,
         std::vector<uint8_t>(8, 9), {9, 9, 9, 9, 0, 205, 124, 9}},
    };
    for (const TRowCase& c : cases) EXPECT_EQ(ConvertedRow(c), c.expected) << c.name;
}

// L 60, a* -20, b* 20 give R 50, G 82, B 40; L 50 with neutral chroma 47, 47,
// 47. Under L 7.9996 (L 7, or 20 / 2.55) with a* 20, b* -20: 4, 1, 6; above it
// (21 / 2.55): 4, 1, 8.
TEST(ColorManager, LabRows) {
    const TConvertOptions offset{coLabChromaOffset}, byteRange{coLabByteRange, coLabChromaOffset};
    const std::vector<TRowCase> cases{
        {"neutral chroma around 128", csCIELab, csRGB, 8, 8, offset, kNone, {{50, 128, 128}}, 1, 0xFF,
         std::vector<uint8_t>(3), {47, 47, 47}},
        {"chroma as signed bytes", csCIELab, csRGB, 8, 8, kNone, kNone, {{60, 0xEC, 0x14}}, 1, 0xFF,
         std::vector<uint8_t>(3), {50, 82, 40}},
        {"chroma around 128", csCIELab, csRGB, 8, 8, offset, kNone, {{60, 108, 148}}, 1, 0xFF,
         std::vector<uint8_t>(3), {50, 82, 40}},
        {"BGR", csCIELab, csBGR, 8, 8, kNone, kNone, {{60, 0xEC, 0x14}}, 1, 0xFF, std::vector<uint8_t>(3),
         {40, 82, 50}},
        {"L 7, below the knee", csCIELab, csRGB, 8, 8, offset, kNone, {{7, 148, 108}}, 1, 0xFF,
         std::vector<uint8_t>(3), {4, 1, 6}},
        {"byte range: 20 is below the knee", csCIELab, csRGB, 8, 8, byteRange, kNone, {{20, 148, 108}}, 1, 0xFF,
         std::vector<uint8_t>(3), {4, 1, 6}},
        {"byte range: 21 is above it", csCIELab, csRGB, 8, 8, byteRange, kNone, {{21, 148, 108}}, 1, 0xFF,
         std::vector<uint8_t>(3), {4, 1, 8}},
        {"16-bit samples swapped, chroma from the low byte", csCIELab, csRGB, 16, 8, kSwap, kNone,
         {{0, 60, 0x12, 0xEC, 0x34, 0x14}}, 1, 0xFF, std::vector<uint8_t>(3), {50, 82, 40}},
        {"RGB 16", csCIELab, csRGB, 8, 16, kNone, kNone, {{60, 0xEC, 0x14}}, 1, 0xFF, std::vector<uint8_t>(6),
         {50, 50, 82, 82, 40, 40}},
        {"BGRA steps four target samples", csCIELab, csBGRA, 8, 8, kNone, kNone, {{60, 0xEC, 0x14, 60, 0xEC, 0x14}},
         2, 0xFF, std::vector<uint8_t>(8, 9), {40, 82, 50, 9, 40, 82, 50, 9}},
    };
    for (const TRowCase& c : cases) EXPECT_EQ(ConvertedRow(c), c.expected) << c.name;
}

// The chroma tables from the 32-bit luma weights 0.299, 0.587, 0.114:
// CrToRed[200] = round(1.402 x 72) = 101, CrToGreen[200] = -round(51.42) = -51.
// CbToBlue[253] = round(cb x 125): 221.5 in decimals, but 2 - 2 x 0.114f is just
// under 1.772, so the product is 221.49999998 and rounds to 221. PhotoYCC
// centres Cr on 137 and Cb on 156; its CbToBlue[31] is -221 the same way and
// CbToGreen[31] = 43.
TEST(ColorManager, YCbCrAndPhotoYCCRows) {
    const std::vector<TRowCase> cases{
        {"YCbCr red chroma", csYCbCr, csRGB, 8, 8, kNone, kNone, {{100, 128, 200}}, 1, 0xFF, std::vector<uint8_t>(3),
         {201, 49, 100}},
        {"YCbCr to BGR", csYCbCr, csBGR, 8, 8, kNone, kNone, {{100, 128, 200}}, 1, 0xFF, std::vector<uint8_t>(3),
         {100, 49, 201}},
        {"YCbCr blue chroma near a half", csYCbCr, csRGB, 8, 8, kNone, kNone, {{0, 253, 128, 33, 253, 128}}, 2, 0xFF,
         std::vector<uint8_t>(6), {0, 0, 221, 33, 0, 254}},
        {"YCbCr 16-bit samples", csYCbCr, csRGB, 16, 8, kSwap, kNone, {{0x64, 0x64, 0x80, 0x80, 0xC8, 0xC8}}, 1, 0xFF,
         std::vector<uint8_t>(3), {201, 49, 100}},
        {"YCbCr planes to RGBA", csYCbCr, csRGBA, 8, 8, kNone, kNone, {{100}, {128}, {200}}, 1, 0xFF,
         {0, 0, 0, 77}, {201, 49, 100, 77}},
        {"PhotoYCC neutral at 156 and 137", csPhotoYCC, csRGB, 8, 8, kNone, kNone, {{100, 156, 137}}, 1, 0xFF,
         std::vector<uint8_t>(3), {100, 100, 100}},
        {"PhotoYCC blue chroma", csPhotoYCC, csRGB, 8, 8, kNone, kNone, {{230, 31, 137}}, 1, 0xFF,
         std::vector<uint8_t>(3), {230, 255, 9}},
        {"PhotoYCC to BGR 16", csPhotoYCC, csBGR, 8, 16, kNone, kNone, {{230, 31, 137}}, 1, 0xFF,
         std::vector<uint8_t>(6), {9, 9, 255, 255, 230, 230}},
    };
    for (const TRowCase& c : cases) EXPECT_EQ(ConvertedRow(c), c.expected) << c.name;
}

struct TSelectionCase {
    const char* name;
    TColorScheme from, to;
    uint8_t sourceBits, targetBits;
    const char16_t* text;
};

TEST(ColorManager, SettingsWithoutAConverterFailAtTheFirstRow) {
    const char16_t* mixed = u"Conversion between indexed and non-indexed pixel formats is not supported.";
    const char16_t* none = u"Color conversion failed. Could not find a proper method.";
    const std::vector<TSelectionCase> cases{
        {"indexed to RGB", csIndexed, csRGB, 8, 8, mixed},
        {"RGB to grey", csRGB, csG, 8, 8, mixed},
        {"grey + alpha to BGR", csGA, csBGR, 8, 8, mixed},
        {"CMY", csCMY, csBGR, 8, 8, none},
        {"unknown", csUnknown, csBGR, 8, 8, none},
        {"CMYK to CMYK", csCMYK, csCMYK, 8, 8, none},
        {"grey 16 to 4 bits", csG, csG, 16, 4, none},
        {"grey + alpha at 4 bits", csGA, csIndexed, 4, 8, none},
        {"RGB to 4-bit BGR", csRGB, csBGR, 8, 4, none},
        {"Lab at 12 bits", csCIELab, csRGB, 12, 8, none},
    };
    for (const TSelectionCase& c : cases) {
        TColorManager manager;
        manager.SetSourceColorScheme(c.from);
        manager.SetTargetColorScheme(c.to);
        manager.SetSourceBitsPerSample(c.sourceBits);
        manager.SetTargetBitsPerSample(c.targetBits);
        uint8_t source[8] = {}, target[8] = {};
        const uint8_t* sources[1] = {source};
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                manager.ConvertRow(sources, target, 1, 0xFF);
                ADD_FAILURE() << c.name << ": no error";
            } catch (const EColorConversionError& e) {
                EXPECT_EQ(e.Message(), String(c.text)) << c.name << " attempt " << attempt;
            }
        }
    }
    // Once the settings fit, the same object converts.
    TColorManager manager;
    manager.SetSourceColorScheme(csIndexed);
    manager.SetTargetColorScheme(csRGB);
    const uint8_t source[3] = {1, 2, 3};
    const uint8_t* sources[1] = {source};
    uint8_t target[3] = {};
    EXPECT_THROW(manager.ConvertRow(sources, target, 1, 0xFF), EColorConversionError);
    manager.SetSourceColorScheme(csRGB);
    manager.ConvertRow(sources, target, 1, 0xFF);
    EXPECT_EQ((std::vector<int>{target[0], target[1], target[2]}), (std::vector<int>{1, 2, 3}));
}

TEST(ColorManager, SetterErrorsKeepThePreviousValue) {
    const String depthText = u"Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.";
    const String countText = u"Sample count per pixel does not correspond to the given color scheme.";
    using TSetter = void (TColorManager::*)(uint8_t);
    using TGetter = uint8_t (TColorManager::*)() const noexcept;
    struct TSetterCase {
        const char* name;
        TSetter set;
        TGetter get;
        const String& text;
        uint8_t good, bad[2];
    };
    const TSetterCase cases[] = {
        {"source bits", &TColorManager::SetSourceBitsPerSample, &TColorManager::SourceBitsPerSample, depthText, 12, {0, 17}},
        {"target bits", &TColorManager::SetTargetBitsPerSample, &TColorManager::TargetBitsPerSample, depthText, 3, {0, 17}},
        {"source samples", &TColorManager::SetSourceSamplesPerPixel, &TColorManager::SourceSamplesPerPixel, countText, 2,
         {0, 5}},
        {"target samples", &TColorManager::SetTargetSamplesPerPixel, &TColorManager::TargetSamplesPerPixel, countText, 4,
         {0, 5}},
    };
    for (const TSetterCase& c : cases) {
        TColorManager manager;
        (manager.*c.set)(c.good);
        for (const uint8_t bad : c.bad) {
            try {
                (manager.*c.set)(bad);
                ADD_FAILURE() << c.name << " " << int(bad) << ": no error";
            } catch (const EColorConversionError& e) {
                EXPECT_EQ(e.Message(), c.text) << c.name;
            }
            EXPECT_EQ((manager.*c.get)(), c.good) << c.name;
        }
    }
}

TEST(ColorManager, PixelFormatsOfDepthAndSamples) {
    struct TFormatCase {
        uint8_t bits, samples;
        TPixelFormat format;
    };
    const TFormatCase cases[] = {{1, 1, pf1bit},   {2, 1, pf4bit},    {4, 1, pf4bit},  {5, 1, pfCustom},
                                 {8, 1, pf8bit},   {16, 1, pf8bit},   {8, 2, pfCustom}, {5, 3, pf15bit},
                                 {6, 3, pf24bit},  {16, 3, pf24bit},  {4, 4, pfCustom}, {8, 4, pf32bit}};
    for (const TFormatCase& c : cases) {
        TColorManager manager;
        manager.SetSourceBitsPerSample(c.bits);
        manager.SetSourceSamplesPerPixel(c.samples);
        manager.SetTargetBitsPerSample(c.bits);
        manager.SetTargetSamplesPerPixel(c.samples);
        EXPECT_EQ(manager.SourcePixelFormat(), c.format) << int(c.bits) << " x " << int(c.samples);
        EXPECT_EQ(manager.TargetPixelFormat(), c.format) << int(c.bits) << " x " << int(c.samples);
    }
}

// round((i / SH)^g x TH) with ties to even, in long double.
std::vector<uint8_t> ReferenceGammaTable(float mainGamma, float displayGamma, int sourceBits, int targetBits) {
    const long double g = 1.0L / ((long double)mainGamma * (long double)displayGamma);
    const int targetHigh = targetBits >= 8 ? 255 : (1 << targetBits) - 1;
    const int sourceHigh = sourceBits >= 8 ? 255 : targetHigh;
    std::vector<uint8_t> table;
    for (int i = 0; i <= sourceHigh; ++i)
        table.push_back(uint8_t(std::nearbyintl(std::pow((long double)i / sourceHigh, g) * targetHigh)));
    return table;
}

TEST(ColorManager, GammaTables) {
    TColorManager defaults;
    defaults.SetGamma(0, 0);
    EXPECT_EQ(defaults.MainGamma(), 1.0f);
    EXPECT_EQ(defaults.DisplayGamma(), 2.2f);
    defaults.SetGamma(-1, -3);
    EXPECT_EQ(defaults.MainGamma(), 1.0f);
    EXPECT_EQ(defaults.DisplayGamma(), 2.2f);
    EXPECT_EQ(defaults.GammaTable()[128], ReferenceGammaTable(1, 2.2f, 8, 8)[128]);

    TColorManager square;
    square.SetGamma(kSquareGamma, 1);
    const std::array<uint8_t, 256>& t = square.GammaTable();
    EXPECT_EQ((std::vector<int>{t[0], t[16], t[50], t[100], t[128], t[200], t[255]}),
              (std::vector<int>{0, 1, 10, 39, 64, 157, 255}));

    const std::pair<int, int> depths[] = {{8, 8}, {16, 8}, {16, 16}, {4, 4}, {2, 4}, {1, 1}, {8, 4}, {8, 1}, {4, 8}};
    const std::pair<float, float> gammas[] = {{1, 2.2f}, {0.45455f, 2.2f}, {1, 1}, {2.5f, 1}, {0.3f, 0.7f}};
    for (const auto& [sourceBits, targetBits] : depths)
        for (const auto& [mainGamma, displayGamma] : gammas) {
            TColorManager manager;
            manager.SetSourceBitsPerSample(uint8_t(sourceBits));
            manager.SetTargetBitsPerSample(uint8_t(targetBits));
            manager.SetGamma(mainGamma, displayGamma);
            const std::vector<uint8_t> expected = ReferenceGammaTable(mainGamma, displayGamma, sourceBits, targetBits);
            const std::vector<uint8_t> table(manager.GammaTable().begin(),
                                             manager.GammaTable().begin() + ptrdiff_t(expected.size()));
            EXPECT_EQ(table, expected) << sourceBits << " -> " << targetBits << " at " << mainGamma << " x "
                                       << displayGamma;
        }
}

struct TOwnedPalette {
    explicit TOwnedPalette(HPALETTE palette) : handle(palette) {}
    ~TOwnedPalette() {
        if (handle) DeleteObject(ToGdiObject(handle));
    }
    TOwnedPalette(const TOwnedPalette&) = delete;
    TOwnedPalette& operator=(const TOwnedPalette&) = delete;
    HPALETTE handle;
};

// R, G, B of each palette entry.
std::vector<std::array<int, 3>> PaletteColors(HPALETTE palette) {
    std::vector<std::array<int, 3>> colors;
    for (const RGBQUAD& q : ColorTableOfPalette(palette, 8)) colors.push_back({q.rgbRed, q.rgbGreen, q.rgbBlue});
    return colors;
}

struct TPaletteCase {
    const char* name;
    int dataFormat;
    bool orderFlag;
    TPlanes data;
    std::vector<std::array<int, 3>> expected;
};

TEST(ColorManager, ColourPalettesOfEveryDataFormat) {
    const std::vector<std::array<int, 3>> straight{{10, 20, 30}, {40, 50, 60}}, reversed{{30, 20, 10}, {60, 50, 40}};
    const std::vector<uint8_t> triples{10, 20, 30, 40, 50, 60}, quads{10, 20, 30, 99, 40, 50, 60, 99};
    // 16-bit samples v x 257 become v again.
    const std::vector<uint8_t> wideTriples{10, 10, 20, 20, 30, 30, 40, 40, 50, 50, 60, 60};
    const std::vector<uint8_t> wideQuads{10, 10, 20, 20, 30, 30, 9, 9, 40, 40, 50, 50, 60, 60, 9, 9};
    const TPlanes planes{{10, 40}, {20, 50}, {30, 60}}, widePlanes{{10, 10, 40, 40}, {20, 20, 50, 50}, {30, 30, 60, 60}};
    const std::vector<TPaletteCase> cases{
        {"8-bit triples", 0, false, {triples}, straight},     {"8-bit triples, B first", 0, true, {triples}, reversed},
        {"8-bit quads", 1, false, {quads}, straight},         {"8-bit quads, B first", 1, true, {quads}, reversed},
        {"8-bit planes", 2, false, planes, straight},         {"8-bit planes, flag ignored", 2, true, planes, straight},
        {"8-bit planes (3)", 3, false, planes, straight},     {"8-bit planes (3), flag ignored", 3, true, planes, straight},
        {"16-bit triples, R first", 4, true, {wideTriples}, straight},
        {"16-bit triples, B first", 4, false, {wideTriples}, reversed},
        {"16-bit quads, R first", 5, true, {wideQuads}, straight},
        {"16-bit quads, B first", 5, false, {wideQuads}, reversed},
        {"16-bit planes", 6, false, widePlanes, straight},    {"16-bit planes (7)", 7, true, widePlanes, straight},
    };
    for (const TPaletteCase& c : cases) {
        TColorManager manager;
        std::vector<const void*> data;
        for (const std::vector<uint8_t>& plane : c.data) data.push_back(plane.data());
        const TOwnedPalette palette(manager.CreateColorPalette(data, c.dataFormat, 2, c.orderFlag));
        EXPECT_EQ(PaletteColors(palette.handle), c.expected) << c.name;
    }
}

TEST(ColorManager, ColourPaletteSamplesSwapGammaAndCount) {
    TColorManager manager;
    const std::vector<uint8_t> wide{0x12, 0x34, 0, 0, 0xFF, 0xFF};
    const void* wideData[1] = {wide.data()};
    const TOwnedPalette unswapped(manager.CreateColorPalette(wideData, 4, 1, true));
    EXPECT_EQ(PaletteColors(unswapped.handle), (std::vector<std::array<int, 3>>{{51, 0, 255}}));
    manager.SetSourceOptions({coNeedByteSwap});
    const TOwnedPalette swapped(manager.CreateColorPalette(wideData, 4, 1, true));
    EXPECT_EQ(PaletteColors(swapped.handle), (std::vector<std::array<int, 3>>{{18, 0, 255}}));

    manager.SetGamma(kSquareGamma, 1);
    manager.SetTargetOptions({coApplyGamma});
    const std::vector<uint8_t> triple{100, 200, 50};
    const void* data[1] = {triple.data()};
    const TOwnedPalette corrected(manager.CreateColorPalette(data, 0, 1, false));
    EXPECT_EQ(PaletteColors(corrected.handle), (std::vector<std::array<int, 3>>{{39, 157, 10}}));

    std::vector<uint8_t> many(300 * 3, 7);
    const void* manyData[1] = {many.data()};
    const TOwnedPalette capped(manager.CreateColorPalette(manyData, 0, 300, false));
    EXPECT_EQ(ColorTableOfPalette(capped.handle, 8).size(), 256u);
}

struct TSpreadCase {
    const char* name;
    uint8_t sourceBits, targetBits;
    uint32_t colors;              // supplied, red = 10 x (index + 1)
    std::vector<int> expectedReds; // of every entry
};

std::vector<int> Repeated(std::initializer_list<std::pair<int, int>> runs) {
    std::vector<int> values;
    for (const auto& [value, count] : runs) values.insert(values.end(), size_t(count), value);
    return values;
}

TEST(ColorManager, PalettesSpreadOverTheTargetDepth) {
    std::vector<int> every17;
    for (int j = 0; j < 16; ++j) every17.push_back((10 * (17 * j + 1)) & 0xFF);
    const std::vector<TSpreadCase> cases{
        {"2 -> 4 bits: colour k at 5k", 2, 4, 4, Repeated({{10, 5}, {20, 5}, {30, 5}, {40, 1}})},
        {"2 -> 4 bits, two colours given", 2, 4, 2, Repeated({{10, 5}, {20, 5}, {0, 6}})},
        {"1 -> 8 bits", 1, 8, 2, Repeated({{10, 255}, {20, 1}})},
        {"8 -> 4 bits: entry j from colour 17j", 8, 4, 256, every17},
        {"4 -> 4 bits unchanged", 4, 4, 3, {10, 20, 30}},
        {"8 -> 16 bits unchanged", 8, 16, 3, {10, 20, 30}},
    };
    for (const TSpreadCase& c : cases) {
        TColorManager manager;
        manager.SetSourceBitsPerSample(c.sourceBits);
        manager.SetTargetBitsPerSample(c.targetBits);
        std::vector<uint8_t> triples;
        for (uint32_t i = 0; i < c.colors; ++i) triples.insert(triples.end(), {uint8_t(10 * (i + 1)), 0, 0});
        const void* data[1] = {triples.data()};
        const TOwnedPalette palette(manager.CreateColorPalette(data, 0, c.colors, false));
        std::vector<int> reds;
        for (const auto& color : PaletteColors(palette.handle)) reds.push_back(color[0]);
        EXPECT_EQ(reds, c.expectedReds) << c.name;
    }
}

TEST(ColorManager, GreyRamps) {
    struct TRampCase {
        uint8_t targetBits, targetSamples;
        bool minimumIsWhite, gamma;
        size_t entries;
        std::vector<int> firstThree;
        int last;
    };
    const TRampCase cases[] = {
        {1, 1, false, false, 2, {0, 255}, 255},      {2, 1, false, false, 4, {0, 85, 170}, 255},
        {4, 1, false, false, 16, {0, 17, 34}, 255},  {4, 1, true, false, 16, {255, 238, 221}, 0},
        {8, 1, false, false, 256, {0, 1, 2}, 255},   {16, 1, false, false, 256, {0, 1, 2}, 255},
        {4, 2, false, false, 256, {0, 1, 2}, 255},   {1, 1, true, false, 2, {255, 0}, 0},
        {8, 1, false, true, 256, {0, 0, 0}, 255},
    };
    for (const TRampCase& c : cases) {
        TColorManager manager;
        manager.SetTargetBitsPerSample(c.targetBits);
        manager.SetTargetSamplesPerPixel(c.targetSamples);
        if (c.gamma) {
            manager.SetGamma(kSquareGamma, 1);
            manager.SetTargetOptions({coApplyGamma});
        }
        const TOwnedPalette palette(manager.CreateGrayscalePalette(c.minimumIsWhite));
        const std::vector<std::array<int, 3>> colors = PaletteColors(palette.handle);
        ASSERT_EQ(colors.size(), c.entries) << int(c.targetBits);
        for (size_t i = 0; i < c.firstThree.size(); ++i)
            EXPECT_EQ(colors[i], (std::array<int, 3>{c.firstThree[i], c.firstThree[i], c.firstThree[i]}))
                << int(c.targetBits) << " entry " << i;
        EXPECT_EQ(colors.back()[0], c.last) << int(c.targetBits);
        if (c.gamma) {
            EXPECT_EQ(colors[100][1], 39);
        }
    }
}

} // namespace
