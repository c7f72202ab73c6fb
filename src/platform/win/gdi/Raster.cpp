#include "platform/win/gdi/Raster.h"

#include <cstring>

#include "platform/win/gdi/Objects.h"
#include "platform/win/paint/Surface.h"

namespace {

const RGBQUAD kBlackWhite[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};

uint32_t TablePixel(const TRaster& raster, unsigned index) noexcept {
    if (int(index) >= raster.colorCount) return 0;
    const RGBQUAD& c = raster.colors[index];
    return uint32_t(c.rgbRed) << 16 | uint32_t(c.rgbGreen) << 8 | c.rgbBlue;
}

} // namespace

TRaster RasterOf(const TBitmapObject& bitmap) noexcept {
    TRaster raster;
    raster.width = bitmap.width;
    raster.height = bitmap.height;
    raster.bpp = bitmap.bpp;
    raster.top = bitmap.Row(0);
    raster.stride = bitmap.topDown ? bitmap.stride : -ptrdiff_t(bitmap.stride);
    raster.mono = bitmap.Monochrome();
    if (bitmap.bpp <= 8) {
        if (bitmap.dib) {
            raster.colors = bitmap.colors.data();
            raster.colorCount = int(bitmap.colors.size());
        } else {
            raster.colors = kBlackWhite;
            raster.colorCount = 2;
        }
    }
    return raster;
}

TRaster RasterOf(TSurface& surface) noexcept {
    TRaster raster;
    raster.width = surface.width;
    raster.height = surface.height;
    raster.top = reinterpret_cast<uint8_t*>(surface.pixels.data());
    raster.stride = ptrdiff_t(surface.width) * 4;
    return raster;
}

int NearestIndex(const RGBQUAD* colors, int count, uint32_t pixel) noexcept {
    const int r = pixel >> 16 & 0xFF, g = pixel >> 8 & 0xFF, b = pixel & 0xFF;
    int best = 0, bestDistance = 1 << 30;
    for (int i = 0; i < count; ++i) {
        const int dr = colors[i].rgbRed - r, dg = colors[i].rgbGreen - g, db = colors[i].rgbBlue - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
            if (distance == 0) break;
        }
    }
    return best;
}

void ReadRow(const TRaster& raster, int x, int y, int n, uint32_t* out) noexcept {
    const uint8_t* row = raster.Row(y);
    switch (raster.bpp) {
    case 32: std::memcpy(out, row + size_t(x) * 4, size_t(n) * 4); return;
    case 24:
        for (int i = 0; i < n; ++i) {
            const uint8_t* p = row + size_t(x + i) * 3;
            out[i] = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        }
        return;
    case 8:
        for (int i = 0; i < n; ++i) out[i] = TablePixel(raster, row[x + i]);
        return;
    case 4:
        for (int i = 0; i < n; ++i) {
            const int at = x + i;
            out[i] = TablePixel(raster, at & 1 ? row[at >> 1] & 0x0F : row[at >> 1] >> 4);
        }
        return;
    case 1:
        for (int i = 0; i < n; ++i) {
            const int at = x + i;
            out[i] = TablePixel(raster, row[at >> 3] >> (7 - (at & 7)) & 1);
        }
        return;
    }
}

void WriteRow(const TRaster& raster, int x, int y, int n, const uint32_t* in) noexcept {
    uint8_t* row = raster.Row(y);
    if (raster.bpp == 32) {
        std::memcpy(row + size_t(x) * 4, in, size_t(n) * 4);
        return;
    }
    if (raster.bpp == 24) {
        for (int i = 0; i < n; ++i) {
            uint8_t* p = row + size_t(x + i) * 3;
            p[0] = uint8_t(in[i]);
            p[1] = uint8_t(in[i] >> 8);
            p[2] = uint8_t(in[i] >> 16);
        }
        return;
    }
    uint32_t lastPixel = ~0u;
    int lastIndex = 0;
    for (int i = 0; i < n; ++i) {
        const uint32_t pixel = in[i] & 0xFFFFFF;
        if (pixel != lastPixel) {
            lastPixel = pixel;
            lastIndex = raster.colorCount ? NearestIndex(raster.colors, raster.colorCount, pixel) : 0;
        }
        const int at = x + i;
        switch (raster.bpp) {
        case 8: row[at] = uint8_t(lastIndex); break;
        case 4: {
            uint8_t& b = row[at >> 1];
            b = at & 1 ? uint8_t((b & 0xF0) | lastIndex) : uint8_t((b & 0x0F) | lastIndex << 4);
            break;
        }
        case 1: {
            uint8_t& b = row[at >> 3];
            const uint8_t bit = uint8_t(0x80 >> (at & 7));
            b = lastIndex ? uint8_t(b | bit) : uint8_t(b & ~bit);
            break;
        }
        }
    }
}

uint32_t ReadPixel(const TRaster& raster, int x, int y) noexcept {
    uint32_t pixel;
    ReadRow(raster, x, y, 1, &pixel);
    return pixel;
}

void WritePixel(const TRaster& raster, int x, int y, uint32_t pixel) noexcept { WriteRow(raster, x, y, 1, &pixel); }
