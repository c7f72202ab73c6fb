#include "platform/win/paint/Composite.h"

#include <algorithm>

#include "platform/win/core/Queue.h"
#include "platform/win/core/Window.h"
#include "platform/win/message/Retrieve.h"
#include "platform/win/paint/Surface.h"

namespace {

// Straight-alpha "over" of Source with the extra weight Alpha (0..255).
uint32_t Over(uint32_t source, uint32_t alpha, uint32_t dest) noexcept {
    const uint32_t sa = (source >> 24) * alpha / 255;
    if (sa == 255) return source | 0xFF000000u;
    if (sa == 0) return dest;
    const uint32_t da = (dest >> 24) * (255 - sa) / 255;
    const uint32_t outA = sa + da;
    uint32_t result = outA << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t s = source >> shift & 0xFF, d = dest >> shift & 0xFF;
        result |= (s * sa + d * da + outA / 2) / outA << shift;
    }
    return result;
}

void Compose(TDesktopImage& image, HWND hwnd, const TSurface& surface) {
    const TTopLevelState state = TopLevelStateOf(hwnd);
    TRegion visible(RECT{0, 0, surface.width, surface.height});
    if (state.shaped) visible &= state.shape;
    visible.Offset(state.rect.left, state.rect.top);
    visible &= TRegion(image.area);
    const uint32_t opaque = state.perPixelAlpha ? 0 : 0xFF000000u;
    for (const RECT& r : visible.Rects())
        for (int y = r.top; y < r.bottom; ++y) {
            const uint32_t* from = surface.Row(y - state.rect.top) + (r.left - state.rect.left);
            uint32_t* to = &image.pixels[size_t(y - image.area.top) * size_t(image.Width()) + size_t(r.left - image.area.left)];
            for (int x = r.left; x < r.right; ++x, ++from, ++to) *to = Over(*from | opaque, state.alpha, *to);
        }
}

} // namespace

TDesktopImage ComposeDesktop(const RECT& area) {
    TDesktopImage image;
    image.area = area;
    image.area.right = std::max(area.right, area.left);
    image.area.bottom = std::max(area.bottom, area.top);
    image.pixels.assign(size_t(image.Width()) * size_t(image.area.bottom - image.area.top), 0);
    TQueue* queue = CurrentQueueIfAny();
    if (!queue) return image;
    for (TWindow* top = queue->tops.last; top; top = top->above)
        if ((top->style & WS_VISIBLE) && top->surface) Compose(image, top->handle, *top->surface);
    return image;
}
