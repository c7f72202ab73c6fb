#pragma once
// A view of pixels in any of the bitmap formats, read and written as 32-bit
// values 0xAARRGGBB. Internal.
//
// Formats without alpha read with alpha 0; paletted formats read through their
// colour table (an index past it reads black) and write the nearest entry;
// 1-bit rasters without a table are black (0) and white (1).

#include <cstddef>
#include <cstdint>

#include "platform/win/gdi/GdiTypes.h"

struct TBitmapObject;
struct TSurface;

struct TRaster {
    uint8_t* top = nullptr; // row 0
    ptrdiff_t stride = 0;   // from a row to the one below
    int width = 0, height = 0;
    int bpp = 32;
    const RGBQUAD* colors = nullptr;
    int colorCount = 0;
    bool mono = false; // a monochrome bitmap (see Gdi.h for how it meets colour)

    uint8_t* Row(int y) const noexcept { return top + ptrdiff_t(y) * stride; }
    uint32_t* Row32(int y) const noexcept { return reinterpret_cast<uint32_t*>(Row(y)); }
    RECT Bounds() const noexcept { return RECT{0, 0, width, height}; }
};

TRaster RasterOf(const TBitmapObject& bitmap) noexcept;
TRaster RasterOf(TSurface& surface) noexcept;

constexpr uint32_t ColorPixel(COLORREF color) noexcept {
    return (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
}
constexpr COLORREF PixelColor(uint32_t pixel) noexcept {
    return (pixel & 0xFF) << 16 | (pixel & 0xFF00) | (pixel >> 16 & 0xFF);
}
// Black or white, whichever is nearer.
constexpr uint32_t MonoPixel(uint32_t pixel) noexcept {
    const uint32_t sum = (pixel & 0xFF) + (pixel >> 8 & 0xFF) + (pixel >> 16 & 0xFF);
    return sum >= 383 ? 0xFFFFFF : 0;
}

int NearestIndex(const RGBQUAD* colors, int count, uint32_t pixel) noexcept;

// N pixels of row Y from X on; the range lies inside the raster.
void ReadRow(const TRaster& raster, int x, int y, int n, uint32_t* out) noexcept;
void WriteRow(const TRaster& raster, int x, int y, int n, const uint32_t* in) noexcept;
uint32_t ReadPixel(const TRaster& raster, int x, int y) noexcept;
void WritePixel(const TRaster& raster, int x, int y, uint32_t pixel) noexcept;
