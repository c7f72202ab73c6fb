#pragma once
// What top-level windows draw into. Each top-level window owns a 32-bit BGRA
// surface of its size; its descendants draw into it at their place.

#include <cstdint>
#include <vector>

#include "platform/win/Types.h"
#include "platform/win/region/Region.h"

struct TSurface {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels; // rows top to bottom, 0xAARRGGBB
    TRegion dirty;                // changed since last presented

    uint32_t* Row(int y) noexcept { return pixels.data() + size_t(y) * size_t(width); }
    const uint32_t* Row(int y) const noexcept { return pixels.data() + size_t(y) * size_t(width); }
    uint32_t Pixel(int x, int y) const noexcept { return Row(y)[x]; }
    // Keeps the top-left content that still fits; new pixels are 0.
    void Resize(int newWidth, int newHeight);
};

// A pixel of a COLORREF (0x00BBGGRR), opaque.
constexpr uint32_t PixelOf(COLORREF color) noexcept {
    return 0xFF000000u | (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
}
