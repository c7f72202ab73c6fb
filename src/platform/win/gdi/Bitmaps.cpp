// Bitmaps, DIB sections and their pixels in DIB formats.
#include <cstring>

#include "platform/win/gdi/Bitmaps.h"
#include "platform/win/gdi/DeviceContext.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/gdi/Objects.h"

namespace {

constexpr DWORD kRgbMasks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};

bool SupportedDibBits(int bpp) noexcept { return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32; }

// The colour table a header brings, read from Colors (DIB_RGB_COLORS) or
// through the DC's palette (DIB_PAL_COLORS).
std::vector<RGBQUAD> TableOf(const BITMAPINFO& info, UINT usage, HDC dc) {
    const int bpp = info.bmiHeader.biBitCount;
    if (bpp > 8) return {};
    const UINT full = 1u << bpp;
    const UINT count = info.bmiHeader.biClrUsed && info.bmiHeader.biClrUsed < full ? info.bmiHeader.biClrUsed : full;
    std::vector<RGBQUAD> table(count);
    if (usage == DIB_PAL_COLORS) {
        const TDc* context = DcOf(dc);
        const TPalette* palette = context ? FindPalette(context->state.palette) : nullptr;
        const auto* indexes = reinterpret_cast<const WORD*>(info.bmiColors);
        for (UINT i = 0; i < count; ++i)
            if (palette && indexes[i] < palette->entries.size()) {
                const PALETTEENTRY& e = palette->entries[indexes[i]];
                table[i] = RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0};
            }
    } else {
        std::memcpy(table.data(), info.bmiColors, count * sizeof(RGBQUAD));
    }
    return table;
}

// A raster over DIB bits laid out as Header says; Lines rows from the first stored one.
TRaster DibRaster(const BITMAPINFOHEADER& header, const RGBQUAD* colors, int colorCount, const void* bits, int lines) {
    TRaster raster;
    raster.width = header.biWidth;
    raster.height = lines;
    raster.bpp = header.biBitCount;
    raster.colors = colors;
    raster.colorCount = colorCount;
    const ptrdiff_t stride = ptrdiff_t(RowBytes(header.biWidth, header.biBitCount, 4));
    auto* base = static_cast<uint8_t*>(const_cast<void*>(bits));
    if (header.biHeight < 0) {
        raster.top = base;
        raster.stride = stride;
    } else {
        raster.top = base + stride * (lines - 1);
        raster.stride = -stride;
    }
    return raster;
}

} // namespace

HBITMAP NewDibSection(int width, int signedHeight, int bpp, std::vector<RGBQUAD> colors) {
    if (!SupportedDibBits(bpp) || signedHeight == INT32_MIN) return nullptr;
    auto bitmap = NewBitmap(width, std::abs(signedHeight), bpp, true);
    if (!bitmap) return nullptr;
    bitmap->topDown = signedHeight < 0;
    bitmap->dibHeight = signedHeight;
    bitmap->colors = std::move(colors);
    return reinterpret_cast<HBITMAP>(AddObject(std::move(bitmap)));
}

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE, DWORD) {
    if (bits) *bits = nullptr;
    if (!info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) return nullptr;
    const BITMAPINFOHEADER& header = info->bmiHeader;
    const int bpp = header.biBitCount;
    if (header.biCompression == BI_BITFIELDS) {
        const auto* masks = reinterpret_cast<const DWORD*>(reinterpret_cast<const uint8_t*>(info) + header.biSize);
        if (bpp != 32 || std::memcmp(masks, kRgbMasks, sizeof kRgbMasks) != 0) return nullptr;
    } else if (header.biCompression != BI_RGB) {
        return nullptr;
    }
    if (header.biPlanes != 1 && header.biPlanes != 0) return nullptr;
    const HBITMAP handle = NewDibSection(header.biWidth, header.biHeight, bpp, TableOf(*info, usage, dc));
    if (TBitmapObject* bitmap = FindBitmap(handle)) {
        if (header.biCompression == BI_BITFIELDS) {
            bitmap->compression = BI_BITFIELDS;
            std::memcpy(bitmap->masks, kRgbMasks, sizeof kRgbMasks);
        }
        if (bits) *bits = bitmap->storage.get();
    }
    return handle;
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bpp, const void* bits) {
    if (planes != 1 || (bpp != 1 && bpp != 32)) return nullptr;
    auto bitmap = NewBitmap(width, height, int(bpp), false);
    if (!bitmap) return nullptr;
    if (bits) std::memcpy(bitmap->storage.get(), bits, size_t(bitmap->stride) * size_t(height));
    return reinterpret_cast<HBITMAP>(AddObject(std::move(bitmap)));
}

HBITMAP CreateCompatibleBitmap(HDC handle, int width, int height) {
    TDc* dc = DcOf(handle);
    if (!dc || width < 0 || height < 0) return nullptr;
    if (width == 0 || height == 0) return CreateBitmap(1, 1, 1, 1, nullptr);
    return CreateBitmap(width, height, 1, IsMonochromeDc(*dc) ? 1 : 32, nullptr);
}

int GetDIBits(HDC, HBITMAP handle, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage) {
    const TBitmapObject* bitmap = FindBitmap(handle);
    if (!bitmap || !info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) || usage != DIB_RGB_COLORS) return 0;
    BITMAPINFOHEADER& header = info->bmiHeader;
    if (header.biBitCount == 0) {
        header.biWidth = bitmap->width;
        header.biHeight = bitmap->dib ? bitmap->dibHeight : bitmap->height;
        header.biPlanes = 1;
        header.biBitCount = WORD(bitmap->bpp);
        header.biCompression = BI_RGB;
        header.biSizeImage = DWORD(int64_t(bitmap->stride) * bitmap->height);
        header.biClrUsed = 0;
        return bitmap->height;
    }
    if (!SupportedDibBits(header.biBitCount) || header.biWidth != bitmap->width) return 0;
    const int height = bitmap->height;
    header.biSizeImage = DWORD(RowBytes(bitmap->width, header.biBitCount, 4) * height);
    // The colour table of the copy: the bitmap's own when it fits, else black and white.
    const TRaster source = RasterOf(*bitmap);
    std::vector<RGBQUAD> table;
    if (header.biBitCount <= 8) {
        const int capacity = 1 << header.biBitCount;
        if (source.colorCount > 0 && source.colorCount <= capacity)
            table.assign(source.colors, source.colors + source.colorCount);
        else if (header.biBitCount == 1)
            table = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
        else
            return 0;
        table.resize(size_t(capacity));
        std::memcpy(info->bmiColors, table.data(), table.size() * sizeof(RGBQUAD));
    }
    if (!bits) return height;
    if (start >= UINT(height)) return 0;
    const int count = int(std::min<UINT>(lines, UINT(height) - start));
    const TRaster dest = DibRaster(header, table.data(), int(table.size()), bits, count);
    std::vector<uint32_t> row(size_t(bitmap->width));
    for (int i = 0; i < count; ++i) {
        // Line I of the copy in its own order, the first being the bottom one for a bottom-up DIB.
        const int line = int(start) + i;
        const int y = header.biHeight < 0 ? line : height - 1 - line;
        const int destY = header.biHeight < 0 ? i : count - 1 - i;
        ReadRow(source, 0, y, bitmap->width, row.data());
        WriteRow(dest, 0, destY, bitmap->width, row.data());
    }
    return count;
}

int SetDIBits(HDC dc, HBITMAP handle, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage) {
    const TBitmapObject* bitmap = FindBitmap(handle);
    if (!bitmap || !info || !bits || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) return 0;
    const BITMAPINFOHEADER& header = info->bmiHeader;
    if (!SupportedDibBits(header.biBitCount) || header.biCompression != BI_RGB || header.biWidth != bitmap->width)
        return 0;
    const int height = bitmap->height;
    if (start >= UINT(height)) return 0;
    const int count = int(std::min<UINT>(lines, UINT(height) - start));
    const std::vector<RGBQUAD> table = TableOf(*info, usage, dc);
    const TRaster source = DibRaster(header, table.data(), int(table.size()), bits, count);
    const TRaster dest = RasterOf(*bitmap);
    std::vector<uint32_t> row(size_t(bitmap->width));
    for (int i = 0; i < count; ++i) {
        const int line = int(start) + i;
        const int y = header.biHeight < 0 ? line : height - 1 - line;
        ReadRow(source, 0, header.biHeight < 0 ? i : count - 1 - i, bitmap->width, row.data());
        WriteRow(dest, 0, y, bitmap->width, row.data());
    }
    return count;
}

UINT SetDIBColorTable(HDC handle, UINT start, UINT count, const RGBQUAD* colors) {
    TDc* dc = DcOf(handle);
    TBitmapObject* bitmap = dc ? FindBitmap(dc->state.bitmap) : nullptr;
    if (!bitmap || !bitmap->dib || !colors || start >= bitmap->colors.size()) return 0;
    const UINT n = std::min<UINT>(count, UINT(bitmap->colors.size()) - start);
    std::copy_n(colors, n, bitmap->colors.begin() + start);
    return n;
}

UINT GetDIBColorTable(HDC handle, UINT start, UINT count, RGBQUAD* colors) {
    TDc* dc = DcOf(handle);
    const TBitmapObject* bitmap = dc ? FindBitmap(dc->state.bitmap) : nullptr;
    if (!bitmap || !bitmap->dib || !colors || start >= bitmap->colors.size()) return 0;
    const UINT n = std::min<UINT>(count, UINT(bitmap->colors.size()) - start);
    std::copy_n(bitmap->colors.begin() + start, n, colors);
    return n;
}
