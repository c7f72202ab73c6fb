#include "platform/win/icons/IconImage.h"

#include <algorithm>
#include <cstring>

#include "platform/win/gdi/Bitmaps.h"
#include "platform/win/gdi/Blit.h"
#include "platform/win/gdi/DeviceContext.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/gdi/Objects.h"

namespace {

// Pictures larger than this are refused (icons, cursors and image-list images are small).
constexpr int64_t kMaxPixels = int64_t{1} << 24;

thread_local std::vector<uint32_t> destRow;

constexpr uint32_t Mix(uint32_t a, uint32_t b, int quarters) noexcept {
    uint32_t out = a & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t x = a >> shift & 0xFF, y = b >> shift & 0xFF;
        out |= ((x * uint32_t(4 - quarters) + y * uint32_t(quarters) + 2) / 4) << shift;
    }
    return out;
}

// Source covering Beneath by Cover (0-255); the alpha byte composes as coverage.
constexpr uint32_t Over(uint32_t source, uint32_t cover, uint32_t beneath) noexcept {
    if (cover == 255) return source;
    if (cover == 0) return beneath;
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t s = source >> shift & 0xFF, d = beneath >> shift & 0xFF;
        out |= ((s * cover + d * (255 - cover) + 127) / 255) << shift;
    }
    const uint32_t alpha = cover + ((beneath >> 24) * (255 - cover) + 127) / 255;
    return out | alpha << 24;
}

uint32_t Compose(uint32_t source, bool masked, uint32_t beneath, bool alpha, const TMaskedStyle& style) noexcept {
    if (style.op == TMaskedOp::Mask) return masked ? 0xFFFFFF : 0;
    if (style.blendQuarters && !style.blendBeneath) source = Mix(source, style.blendTo, style.blendQuarters);
    uint32_t cover;
    if (alpha) {
        cover = source >> 24;
    } else if (style.op == TMaskedOp::Image) {
        cover = 255;
    } else if (style.xorColor) {
        return masked ? (beneath ^ (source & 0xFFFFFF)) : source;
    } else {
        cover = masked ? 0 : 255;
    }
    if (style.blendBeneath && style.blendQuarters) cover = cover * uint32_t(4 - style.blendQuarters) / 4;
    const uint32_t out = Over(source, cover, beneath);
    // Pictures without alpha write none.
    return alpha || cover == 0 ? out : out & 0xFFFFFF;
}

} // namespace

bool TIconImage::Reset(int newWidth, int newHeight) {
    if (newWidth <= 0 || newHeight <= 0 || int64_t(newWidth) * newHeight > kMaxPixels) return false;
    width = newWidth;
    height = newHeight;
    color.assign(size_t(width) * size_t(height), 0);
    mask.assign(color.size(), 1);
    alpha = false;
    return true;
}

void TIconImage::DetectAlpha() noexcept {
    alpha = std::any_of(color.begin(), color.end(), [](uint32_t pixel) { return pixel >> 24 != 0; });
}

bool ReadBitmapInto(HBITMAP colorHandle, HBITMAP maskHandle, int x, int y, TIconImage& image) {
    const TBitmapObject* color = FindBitmap(colorHandle);
    const TBitmapObject* mask = maskHandle ? FindBitmap(maskHandle) : nullptr;
    if (!color || (maskHandle && !mask) || image.Empty()) return false;
    std::fill(image.mask.begin(), image.mask.end(), 0);
    // The columns of the rectangle that lie inside a bitmap.
    auto read = [&](const TBitmapObject& bitmap, auto&& store) {
        const TRaster raster = RasterOf(bitmap);
        const int left = std::max(x, 0), right = std::min(x + image.width, raster.width);
        if (left >= right) return;
        std::vector<uint32_t> row(size_t(right - left));
        for (int iy = 0; iy < image.height; ++iy) {
            const int by = y + iy;
            if (by < 0 || by >= raster.height) continue;
            ReadRow(raster, left, by, right - left, row.data());
            for (int bx = left; bx < right; ++bx) store(bx - x, iy, row[size_t(bx - left)]);
        }
    };
    read(*color, [&](int ix, int iy, uint32_t pixel) { image.Color(ix, iy) = pixel; });
    if (mask) read(*mask, [&](int ix, int iy, uint32_t pixel) { image.Mask(ix, iy) = (pixel & 0xFFFFFF) != 0; });
    return true;
}

HBITMAP ColorBitmapOf(const TIconImage& image) {
    const HBITMAP handle = NewDibSection(image.width, -image.height, 32);
    if (TBitmapObject* bitmap = FindBitmap(handle))
        for (int y = 0; y < image.height; ++y)
            std::memcpy(bitmap->Row(y), &image.color[size_t(y) * size_t(image.width)], size_t(image.width) * 4);
    return handle;
}

HBITMAP MaskBitmapOf(const TIconImage& image) {
    const size_t stride = size_t(image.width + 15) / 16 * 2;
    std::vector<uint8_t> bits(stride * size_t(image.height));
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (image.Mask(x, y)) bits[size_t(y) * stride + size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
    return CreateBitmap(image.width, image.height, 1, 1, bits.data());
}

TIconImage Stretched(const TIconImage& image, int width, int height) {
    if (width == image.width && height == image.height) return image;
    TIconImage out;
    if (image.Empty() || !out.Reset(width, height)) return out;
    for (int y = 0; y < height; ++y) {
        const int sy = StretchIndex(y, height, image.height);
        for (int x = 0; x < width; ++x) {
            const int sx = StretchIndex(x, width, image.width);
            out.Color(x, y) = image.Color(sx, sy);
            out.Mask(x, y) = image.Mask(sx, sy);
        }
    }
    out.alpha = image.alpha;
    return out;
}

bool DrawIconImage(HDC handle, const RECT& dest, const TIconImage& image, const RECT& from, const TMaskedStyle& style) {
    TDc* dc = DcOf(handle);
    if (!dc) return false;
    const int w = dest.right - dest.left, h = dest.bottom - dest.top;
    const int sw = from.right - from.left, sh = from.bottom - from.top;
    if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return true;
    if (from.left < 0 || from.top < 0 || from.right > image.width || from.bottom > image.height) return false;
    const RECT area = dc->ToDevice(dest);
    TDrawTarget target;
    if (!BeginDraw(*dc, area, target)) return false;
    ForEachClipped(target, area, [&](const RECT& r) {
        const int n = r.right - r.left;
        if (destRow.size() < size_t(n)) destRow.resize(size_t(n));
        uint32_t* row = destRow.data();
        const int dx0 = r.left - target.offset.x - area.left;
        for (int y = r.top; y < r.bottom; ++y) {
            const int sy = from.top + StretchIndex(y - target.offset.y - area.top, h, sh);
            ReadRow(target.raster, r.left, y, n, row);
            for (int i = 0; i < n; ++i) {
                const int sx = from.left + StretchIndex(dx0 + i, w, sw);
                row[i] = Compose(image.Color(sx, sy), image.Mask(sx, sy) != 0, row[i], image.alpha, style);
            }
            WriteRow(target.raster, r.left, y, n, row);
        }
    });
    EndDraw(target);
    return true;
}
