#include "treeview/TreeDrawing.h"

#include <limits>

#include "platform/rtl/Exceptions.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/imagelist/ImageList.h"

namespace {

// One byte of the blend: the mix, shifted by the bias the way 16-bit lanes
// saturate it around the middle value, clamped to a byte.
inline uint32_t BlendedByte(int s, int d, int alpha, int bias) noexcept {
    const int mixed = (d * 256 + alpha * (s - d)) >> 8;
    const int shifted = std::clamp(mixed - 128 + bias, int(std::numeric_limits<int16_t>::min()),
                                   int(std::numeric_limits<int16_t>::max())) + 128;
    return uint32_t(std::clamp(shifted, 0, 255));
}

inline uint32_t BlendedPixel(uint32_t s, uint32_t d, int alpha, int bias) noexcept {
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8)
        result |= BlendedByte(int(s >> shift & 0xFF), int(d >> shift & 0xFF), alpha, bias) << shift;
    return result;
}

inline int PixelAlpha(uint32_t pixel) noexcept { return int(pixel >> 24); }

} // namespace

void BlendLineConstant(const uint32_t* source, uint32_t* destination, int count, int constantAlpha, int bias) {
    for (int i = 0; i < count; ++i) destination[i] = BlendedPixel(source[i], destination[i], constantAlpha, bias);
}

void BlendLinePerPixel(const uint32_t* source, uint32_t* destination, int count, int bias) {
    for (int i = 0; i < count; ++i)
        destination[i] = BlendedPixel(source[i], destination[i], PixelAlpha(source[i]), bias);
}

void BlendLineMaster(const uint32_t* source, uint32_t* destination, int count, int constantAlpha, int bias) {
    for (int i = 0; i < count; ++i) {
        const int alpha = (constantAlpha * PixelAlpha(source[i])) >> 8;
        destination[i] = BlendedPixel(source[i], destination[i], alpha, bias);
    }
}

void BlendLineColor(uint32_t* destination, int count, int constantAlpha, COLORREF color) {
    // 0x00BBGGRR becomes the pixel order blue, green, red, alpha 0.
    const uint32_t pixel = (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
    for (int i = 0; i < count; ++i) {
        uint32_t result = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const int c = int(pixel >> shift & 0xFF), d = int(destination[i] >> shift & 0xFF);
            result |= uint32_t(std::clamp((c * constantAlpha + (256 - constantAlpha) * d) >> 8, 0, 255)) << shift;
        }
        destination[i] = result;
    }
}

TDcBitmapBits DcBitmapBits(HDC dc) {
    const HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    DIBSECTION section{};
    RTL_ASSERT(bitmap && GetObjectW(bitmap, sizeof section, &section) == int(sizeof section),
               "Alpha blending DC error: no bitmap available.");
    RTL_ASSERT(section.dsBm.bmBitsPixel * section.dsBm.bmPlanes == 32, "Alpha blending error: bitmap must use 32 bpp.");
    return TDcBitmapBits{static_cast<uint32_t*>(section.dsBm.bmBits), section.dsBmih.biWidth, section.dsBmih.biHeight};
}

void BlendRect(HDC source, HDC destination, const TRect& r, const TPoint& target, TBlendKind kind,
               int constantAlpha, int bias) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    const TDcBitmapBits to = DcBitmapBits(destination);
    const int toRows = std::abs(to.Height);
    if (kind == bkColor) {
        const int left = std::max(r.Left, 0), right = std::min(r.Right, to.Width);
        for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, toRows) && left < right; ++y)
            BlendLineColor(ScanLineAddress(to.Bits, to.Width, to.Height, y) + left, right - left, constantAlpha,
                           COLORREF(bias));
    } else {
        const TDcBitmapBits from = DcBitmapBits(source);
        const int fromRows = std::abs(from.Height);
        // Columns and rows, counted from the rectangle's corner, that lie in both bitmaps.
        const int firstX = std::max({0, -r.Left, -target.X});
        const int lastX = std::min({r.Width(), from.Width - r.Left, to.Width - target.X});
        const int firstY = std::max({0, -r.Top, -target.Y});
        const int lastY = std::min({r.Height(), fromRows - r.Top, toRows - target.Y});
        for (int y = firstY; y < lastY && firstX < lastX; ++y) {
            const uint32_t* s = ScanLineAddress(from.Bits, from.Width, from.Height, r.Top + y) + r.Left + firstX;
            uint32_t* d = ScanLineAddress(to.Bits, to.Width, to.Height, target.Y + y) + target.X + firstX;
            const int count = lastX - firstX;
            switch (kind) {
            case bkConstant: BlendLineConstant(s, d, count, constantAlpha, bias); break;
            case bkPerPixel: BlendLinePerPixel(s, d, count, bias); break;
            case bkMaster: BlendLineMaster(s, d, count, constantAlpha, bias); break;
            case bkColor: break;
            }
        }
    }
    ClearMmxState();
}

COLORREF ColorToColorRef(TColor color) {
    if (color == clNone) return CLR_NONE;
    if (color == clDefault) return CLR_DEFAULT;
    return ColorToRGB(color);
}
