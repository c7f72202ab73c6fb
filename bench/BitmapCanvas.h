#pragma once
// A memory DC drawing into a top-down 32-bit DIB section, for the drawing benchmarks.

#include <cstdint>

#include "platform/win/gdi/Bitmaps.h"
#include "platform/win/gdi/Gdi.h"

struct TBitmapCanvas {
    TBitmapCanvas(int width, int height) : dc(CreateCompatibleDC(nullptr)) {
        bitmap = NewDibSection(width, -height, 32);
        BITMAP bm{};
        GetObjectW(ToGdiObject(bitmap), sizeof bm, &bm);
        bits = static_cast<uint32_t*>(bm.bmBits);
        old = SelectObject(dc, ToGdiObject(bitmap));
    }
    ~TBitmapCanvas() {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(ToGdiObject(bitmap));
    }
    TBitmapCanvas(const TBitmapCanvas&) = delete;
    TBitmapCanvas& operator=(const TBitmapCanvas&) = delete;

    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    uint32_t* bits;
};
