#pragma once
// Icons compared by their pixels.

#include <cstdint>
#include <vector>

#include "platform/win/icons/Icons.h"

// The pixels (0xAARRGGBB) of Icon, which is destroyed; empty for null.
inline std::vector<uint32_t> TakeIconPixels(HICON icon) {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    POINT hotSpot{};
    if (!icon || !CursorPixels(HCURSOR(icon), width, height, pixels, hotSpot)) return {};
    DestroyIcon(icon);
    return pixels;
}
