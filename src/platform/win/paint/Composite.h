#pragma once
// The calling thread's visible top-level windows composed as the desktop shows
// them, bottom first: each clipped to its shape, faded by its constant opacity
// and, with per-pixel alpha, by its pixels' own alpha. Used to read "the
// screen" and to take screenshots.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/win/Types.h"

struct TDesktopImage {
    RECT area{};                  // screen coordinates
    std::vector<uint32_t> pixels; // rows top to bottom, 0xAARRGGBB, straight alpha; 0 where no window is
    int Width() const noexcept { return area.right - area.left; }
    uint32_t Pixel(int x, int y) const noexcept { return pixels[size_t(y - area.top) * size_t(Width()) + size_t(x - area.left)]; }
};

TDesktopImage ComposeDesktop(const RECT& area);
