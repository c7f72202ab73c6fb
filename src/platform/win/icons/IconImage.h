#pragma once
// A picture with a mask, as icons, cursors and image-list images hold it, and
// how one is drawn onto a device context. Internal.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/win/gdi/GdiTypes.h"

struct TIconImage {
    int width = 0, height = 0;
    std::vector<uint32_t> color; // 0xAARRGGBB, straight alpha, rows top down
    std::vector<uint8_t> mask;   // one byte a pixel; 1 keeps what lies beneath
    bool alpha = false;          // the colour's alpha counts (some pixel has a non-zero one)

    // Zeroed pixels, every mask byte 1; false for impossible sizes.
    bool Reset(int newWidth, int newHeight);
    bool Empty() const noexcept { return width <= 0 || height <= 0; }
    uint32_t& Color(int x, int y) noexcept { return color[size_t(y) * size_t(width) + size_t(x)]; }
    uint32_t Color(int x, int y) const noexcept { return color[size_t(y) * size_t(width) + size_t(x)]; }
    uint8_t& Mask(int x, int y) noexcept { return mask[size_t(y) * size_t(width) + size_t(x)]; }
    uint8_t Mask(int x, int y) const noexcept { return mask[size_t(y) * size_t(width) + size_t(x)]; }
    // Sets Alpha from the pixels.
    void DetectAlpha() noexcept;
};

// Reads a bitmap's pixels (any format; alpha only from 32 bits) into Image,
// whose size is kept; Mask (monochrome or any format: non-black is 1), when
// given, sets the mask, else every mask byte becomes 0. Reads the rectangle
// at (X, Y) of both. False for unknown bitmaps.
bool ReadBitmapInto(HBITMAP color, HBITMAP mask, int x, int y, TIconImage& image);
// A 32-bit top-down DIB section of the colour, and a monochrome bitmap of the
// mask (1 bits where the mask byte is 1).
HBITMAP ColorBitmapOf(const TIconImage& image);
HBITMAP MaskBitmapOf(const TIconImage& image);
// The nearest-pixel stretch of Image to the size given.
TIconImage Stretched(const TIconImage& image, int width, int height);

enum class TMaskedOp {
    Normal, // by alpha, else through the mask
    Image,  // the colour (by alpha when it has one), mask ignored
    Mask,   // the mask: black where the picture is, white where it keeps what lies beneath
};

struct TMaskedStyle {
    TMaskedOp op = TMaskedOp::Normal;
    // Without alpha the icon rule: (beneath AND mask) XOR colour; otherwise
    // the colour where the mask is 0.
    bool xorColor = false;
    // Quarters (1: 25 %, 2: 50 %) of the colour mixed towards BlendTo (0x00RRGGBB),
    // or, with BlendBeneath, of the picture's cover given to what lies beneath.
    int blendQuarters = 0;
    bool blendBeneath = false;
    uint32_t blendTo = 0;
};

// Draws the part From of Image into Dest (logical coordinates of the DC),
// stretched to its size. False for an unknown DC.
bool DrawIconImage(HDC dc, const RECT& dest, const TIconImage& image, const RECT& from, const TMaskedStyle& style);
