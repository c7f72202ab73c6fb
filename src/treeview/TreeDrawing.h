#pragma once
// Pixel routines the tree's painting, drag image and selection share: alpha
// blending of 32-bit device-independent bitmaps, colour conversion, row
// addressing, and small rectangle and node-pointer helpers.
//
// Pixels are four bytes, blue, green, red and alpha, and every byte is
// blended alike. Per byte the blend computes
//   t = (d * (256 - a) + s * a) >> 8, stored as clamp(t + bias, 0, 255)
// with a the constant alpha (bkConstant), the source pixel's alpha
// (bkPerPixel) or both multiplied (bkMaster, (constant * alpha) >> 8).

#include <algorithm>
#include <cstdint>

#include "platform/rtl/Geometry.h"
#include "platform/ui/Colors.h"
#include "platform/win/gdi/GdiTypes.h"

enum class TBlendKind { bkConstant, bkPerPixel, bkMaster, bkColor };
using enum TBlendKind;

// Blends rectangle R of the source's bitmap into the destination's at Target.
// bkColor blends the colour Bias (a COLORREF) into R of the destination with
// the constant alpha and leaves the source and Target unused. Both DCs hold
// 32-bit DIB sections; rows and columns outside either bitmap are left out.
void BlendRect(HDC source, HDC destination, const TRect& r, const TPoint& target, TBlendKind kind,
               int constantAlpha, int bias);

void BlendLineConstant(const uint32_t* source, uint32_t* destination, int count, int constantAlpha, int bias);
void BlendLinePerPixel(const uint32_t* source, uint32_t* destination, int count, int bias);
void BlendLineMaster(const uint32_t* source, uint32_t* destination, int count, int constantAlpha, int bias);
// d = (c * a + d * (256 - a)) >> 8 per byte, where Color (0x00BBGGRR) gives
// the blue, green and red bytes and 0 the alpha byte.
void BlendLineColor(uint32_t* destination, int count, int constantAlpha, COLORREF color);

// The pixels of the DIB section selected into a DC.
struct TDcBitmapBits {
    uint32_t* Bits = nullptr;
    int Width = 0;
    // Positive: rows stored bottom up.
    int Height = 0;
};
// Fails the assertion "Alpha blending DC error: no bitmap available." without
// a DIB section and "Alpha blending error: bitmap must use 32 bpp." for
// another depth.
TDcBitmapBits DcBitmapBits(HDC dc);

// Row Row (0 the top one) of a 32-bit DIB of the size given.
inline uint32_t* ScanLineAddress(uint32_t* bits, int width, int height, int row) noexcept {
    const int line = height > 0 ? height - row - 1 : row;
    return bits + ptrdiff_t(line) * width;
}

// The blends leave no processor state behind: nothing to end.
inline void ClearMmxState() noexcept {}

// clNone gives CLR_NONE, clDefault CLR_DEFAULT, a system colour its current RGB.
COLORREF ColorToColorRef(TColor color);

// Left <= Right and Top <= Bottom, by swapping.
inline void NormalizeRect(TRect& r) noexcept {
    if (r.Left > r.Right) std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
}

// Sorts Nodes[First..Last] ascending by address, compared as unsigned integers.
template <class Node>
void SortNodePointers(Node** nodes, int first, int last) {
    if (last <= first) return;
    std::sort(nodes + first, nodes + last + 1,
              [](const Node* a, const Node* b) { return uintptr_t(a) < uintptr_t(b); });
}
