#include "platform/win/pixels/Surface.h"

#include <algorithm>
#include <cstring>

void TSurface::Resize(int newWidth, int newHeight) {
    newWidth = std::max(newWidth, 0);
    newHeight = std::max(newHeight, 0);
    if (newWidth == width && newHeight == height) return;
    std::vector<uint32_t> resized(size_t(newWidth) * size_t(newHeight), 0);
    const int keepWidth = std::min(width, newWidth), keepHeight = std::min(height, newHeight);
    for (int y = 0; y < keepHeight; ++y)
        std::memcpy(resized.data() + size_t(y) * size_t(newWidth), Row(y), size_t(keepWidth) * sizeof(uint32_t));
    pixels = std::move(resized);
    width = newWidth;
    height = newHeight;
    dirty &= TRegion(RECT{0, 0, width, height});
}
