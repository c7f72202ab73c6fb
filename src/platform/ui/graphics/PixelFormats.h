#pragma once
// Pixel formats of the framework's bitmaps and the colour tables and DIB
// headers that go with them.

#include <array>
#include <cstdint>
#include <vector>

#include "platform/rtl/TypeInfo.h"
#include "platform/win/gdi/GdiTypes.h"

// pfDevice: no format chosen yet (the bitmap is a device bitmap). pf15bit,
// pf16bit and pfCustom name formats bitmaps are never made in.
enum class TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
using enum TPixelFormat;
RTL_ENUM(TPixelFormat, pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom);

// Bits per pixel of the formats bitmaps are made in (1, 4, 8, 24, 32); 0 for the others.
int BitsOfPixelFormat(TPixelFormat format) noexcept;
// The format of a DIB of that depth; pfCustom for depths bitmaps are not made in.
TPixelFormat PixelFormatOfBits(int bitsPerPixel) noexcept;
// Bytes of the pixels of a DIB, computed in 64 bits; -1 for negative sizes.
int64_t DibImageBytes(int64_t width, int64_t height, int bitsPerPixel) noexcept;

// The colour table a new bitmap of that depth (1, 4 or 8) gets without a
// palette: black and white, the 16 standard colours, or those followed by a
// 6x6x6 colour cube and a grey ramp.
std::vector<RGBQUAD> DefaultColorTable(int bitsPerPixel);
// The palette's entries, as many as the depth holds.
std::vector<RGBQUAD> ColorTableOfPalette(HPALETTE palette, int bitsPerPixel);
HPALETTE PaletteOfColorTable(const std::vector<RGBQUAD>& colors);

// A DIB header with room for a full colour table.
struct TDibInfo {
    TDibInfo(int width, int height, int bitsPerPixel, const std::vector<RGBQUAD>& colors);
    const BITMAPINFO* Info() const noexcept { return reinterpret_cast<const BITMAPINFO*>(this); }
    BITMAPINFO* Info() noexcept { return reinterpret_cast<BITMAPINFO*>(this); }

    BITMAPINFOHEADER header{};
    std::array<RGBQUAD, 256> colors{};
};
