#pragma once
// libpng as the tests' oracle: PNG files written with chosen chunks, filters
// and compression, the raw samples libpng reads from any file (no
// transforms), and the bitmap the decoder must make of them, written here
// from the decoder's documented mapping rather than from its code.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Colors.h"
#include "platform/ui/graphics/PixelFormats.h"

class TPNGGraphic;

struct TPngColor16 {
    uint16_t red = 0, green = 0, blue = 0, grey = 0;
    uint8_t index = 0;
};

// What the writer puts into a file; the samples come from Seed.
struct TPngSpec {
    int width = 1, height = 1, colorType = 0, depth = 8;
    bool interlaced = false;
    int filter = -1; // 0-4 forces one row filter, -1 leaves libpng's adaptive choice
    int level = 9;
    int paletteSize = -1; // entries of PLTE for indexed images; -1: 2^depth, 0: none
    std::vector<uint8_t> indexAlpha{}; // tRNS of an indexed image
    std::optional<TPngColor16> transparentKey{}, background{};
    std::optional<uint32_t> gamma{};
    bool ancillaryChunks = false; // tEXt, zTXt, iTXt, tIME, pHYs, sBIT, cHRM, sRGB, iCCP
    uint32_t seed = 1;
    bool smooth = false; // gradients with a little noise (as photographs compress) instead of noise
    std::string Name() const;
};

std::vector<uint8_t> WritePng(const TPngSpec& spec);

// A file as libpng reads it: header, chunks of interest and de-interlaced raw rows.
struct TPngRaw {
    uint32_t width = 0, height = 0;
    int colorType = 0, depth = 0;
    bool interlaced = false;
    std::vector<std::vector<uint8_t>> rows;
    std::optional<std::vector<uint8_t>> palette; // R, G, B triples
    std::optional<std::vector<uint8_t>> indexAlpha;
    std::optional<TPngColor16> transparentKey, background;
    std::optional<uint32_t> gamma;
};

// Empty when libpng rejects the file (Error names why).
std::optional<TPngRaw> ReadPngRaw(const std::vector<uint8_t>& file, std::string* error = nullptr);

// The bitmap the decoder must make of Raw.
struct TExpectedBitmap {
    TPixelFormat format = pfDevice;
    std::vector<RGBQUAD> colors; // the bitmap's colour table
    std::vector<std::vector<uint8_t>> rows; // the pixel bytes of each scan line, padding bits cleared
    bool transparent = false;
    TColor transparentColor = 0;
    TColor background = 0xFFFFFF;
    std::vector<uint8_t> transparency;
};

TExpectedBitmap ExpectedBitmap(const TPngRaw& raw);

// The first difference between Bitmap and Expected ("row 3 byte 7: 12 != 13"); empty when equal.
std::string CompareBitmap(TPNGGraphic& bitmap, const TExpectedBitmap& expected);

// The table a gamma chunk of Value gives 8-bit samples.
std::vector<uint8_t> ExpectedGammaTable(uint32_t value);
