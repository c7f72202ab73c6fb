#pragma once
// Raster operations and the loops that draw them. Internal.

#include <cstdint>

#include "platform/win/gdi/DeviceContext.h"
#include "platform/win/gdi/Objects.h"

enum class TRop { SrcCopy, SrcAnd, SrcPaint, NotSrcCopy, PatCopy, DstInvert, PatWhereSource };

// The raster operations drawn; any other fails (and asserts in debug builds).
bool RopOf(DWORD rop, TRop& out) noexcept;
constexpr bool UsesSource(TRop rop) noexcept { return rop != TRop::PatCopy && rop != TRop::DstInvert; }
constexpr bool UsesPattern(TRop rop) noexcept { return rop == TRop::PatCopy || rop == TRop::PatWhereSource; }

// Pixels are 0xAARRGGBB; the pattern has alpha 0.
inline uint32_t ApplyRop(TRop rop, uint32_t s, uint32_t p, uint32_t d) noexcept {
    switch (rop) {
    case TRop::SrcCopy: return s;
    case TRop::SrcAnd: return s & d;
    case TRop::SrcPaint: return s | d;
    case TRop::NotSrcCopy: return s ^ 0x00FFFFFF;
    case TRop::PatCopy: return p;
    case TRop::DstInvert: return d ^ 0x00FFFFFF;
    case TRop::PatWhereSource: return (s & p) | (~s & d);
    }
    return d;
}

// The source index of destination index I (0-based) when W destination
// pixels stretch over Sw source pixels: the source pixel under the centre.
constexpr int StretchIndex(int i, int w, int sw) noexcept {
    return int((int64_t(2) * i + 1) * sw / (int64_t(2) * w));
}

// False for a null or unknown brush (nothing to paint).
bool MakePattern(TDc& dc, HBRUSH brush, TPattern& pattern);
// A solid colour as it lands on the DC's target (black or white on a monochrome one).
TPattern SolidPattern(TDc& dc, COLORREF color);

// Draws a source-less operation over Area (device coordinates), clipped.
void PaintArea(TDrawTarget& target, const RECT& area, const TPattern& pattern, TRop rop);
// BeginDraw, PaintArea, EndDraw.
bool FillDevice(TDc& dc, const RECT& area, const TPattern& pattern, TRop rop);
