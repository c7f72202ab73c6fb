#pragma once
// Making DIB sections and the BMP file format. Internal to the drawing layer
// and the framework's bitmap class.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/win/gdi/GdiTypes.h"

// A zeroed DIB section; SignedHeight < 0 is top down. Null for impossible sizes.
HBITMAP NewDibSection(int width, int signedHeight, int bpp, std::vector<RGBQUAD> colors = {});

// Reads a BMP file (1, 4, 8, 24 and 32 bits BI_RGB; 16 and 32 bits
// BI_BITFIELDS; bottom-up and top-down; BITMAPINFOHEADER and larger headers)
// into a DIB section of the same row order: paletted and 24-bit files keep
// their format, bit fields become 32 bits. Null for a malformed file.
HBITMAP ReadBmp(std::span<const uint8_t> file);
// A BMP file of the bitmap in 1, 4, 8, 24 or 32 bits, bottom up; empty on
// failure. Paletted files of the bitmap's own depth keep its colour table,
// short ones too; other depths of 4 and 8 bits fail unless the table fits.
std::vector<uint8_t> WriteBmp(HBITMAP bitmap, int bitsPerPixel);
