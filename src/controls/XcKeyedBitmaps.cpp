#include "controls/XcKeyedBitmaps.h"

#include "platform/win/gdi/Gdi.h"

namespace {

// A memory device context holding a bitmap of its own, freed together.
class TXcWorkDc {
public:
    TXcWorkDc(HDC like, int width, int height, bool monochrome)
        : dc_(CreateCompatibleDC(like)),
          bitmap_(monochrome ? CreateBitmap(width, height, 1, 1, nullptr) : CreateCompatibleBitmap(like, width, height)),
          old_(SelectObject(dc_, ToGdiObject(bitmap_))) {}
    ~TXcWorkDc() {
        SelectObject(dc_, old_);
        DeleteObject(ToGdiObject(bitmap_));
        DeleteDC(dc_);
    }
    TXcWorkDc(const TXcWorkDc&) = delete;
    TXcWorkDc& operator=(const TXcWorkDc&) = delete;
    HDC dc() const noexcept { return dc_; }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

} // namespace

void MaskedStretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, int sourceWidth,
                      int sourceHeight, COLORREF key) {
    // Key pixels white in the mask, black in its inverse.
    TXcWorkDc mask(source, sourceWidth, sourceHeight, true);
    const COLORREF oldBack = SetBkColor(source, key);
    BitBlt(mask.dc(), 0, 0, sourceWidth, sourceHeight, source, sx, sy, SRCCOPY);
    SetBkColor(source, oldBack);
    TXcWorkDc inverse(source, sourceWidth, sourceHeight, true);
    BitBlt(inverse.dc(), 0, 0, sourceWidth, sourceHeight, mask.dc(), 0, 0, NOTSRCCOPY);
    // The source with its key pixels cleared.
    TXcWorkDc cleared(source, sourceWidth, sourceHeight, false);
    BitBlt(cleared.dc(), 0, 0, sourceWidth, sourceHeight, source, sx, sy, SRCCOPY);
    SetBkColor(cleared.dc(), RGB(255, 255, 255));
    SetTextColor(cleared.dc(), RGB(0, 0, 0));
    BitBlt(cleared.dc(), 0, 0, sourceWidth, sourceHeight, inverse.dc(), 0, 0, SRCAND);

    TXcWorkDc work(dest, width, height, false);
    BitBlt(work.dc(), 0, 0, width, height, dest, x, y, SRCCOPY);
    SetBkColor(work.dc(), RGB(255, 255, 255));
    SetTextColor(work.dc(), RGB(0, 0, 0));
    StretchBlt(work.dc(), 0, 0, width, height, mask.dc(), 0, 0, sourceWidth, sourceHeight, SRCAND);
    StretchBlt(work.dc(), 0, 0, width, height, cleared.dc(), 0, 0, sourceWidth, sourceHeight, SRCPAINT);
    BitBlt(dest, x, y, width, height, work.dc(), 0, 0, SRCCOPY);
}

void StretchBitmapWithKey(TCanvas* canvas, int x, int y, int width, int height, int sx, int sy, int sourceWidth,
                          int sourceHeight, TBitmap* bitmap, TColor key) {
    if (width < 1) width = bitmap->Width();
    if (height < 1) height = bitmap->Height();
    if (sourceWidth < 1 || sourceHeight < 1) {
        sx = sy = 0;
        sourceWidth = bitmap->Width();
        sourceHeight = bitmap->Height();
    }
    TCanvas* source = bitmap->Canvas();
    source->Lock();
    HDC dest = canvas->Handle();
    const int oldMode = bitmap->Monochrome() ? GetStretchBltMode(dest) : SetStretchBltMode(dest, COLORONCOLOR);
    if (key == clNone) {
        StretchBlt(dest, x, y, width, height, source->Handle(), sx, sy, sourceWidth, sourceHeight,
                   DWORD(canvas->CopyMode()));
    } else {
        COLORREF keyRgb = key == clDefault ? GetPixel(source->Handle(), 0, bitmap->Height() - 1) : ColorToRGB(key);
        if (bitmap->Monochrome()) keyRgb = RGB(255, 255, 255);
        MaskedStretchBlt(dest, x, y, width, height, source->Handle(), sx, sy, sourceWidth, sourceHeight, keyRgb);
    }
    SetStretchBltMode(dest, oldMode);
    source->Unlock();
}

void DrawBitmapWithKey(TCanvas* canvas, int x, int y, TBitmap* bitmap, TColor key) {
    StretchBitmapWithKey(canvas, x, y, bitmap->Width(), bitmap->Height(), 0, 0, bitmap->Width(), bitmap->Height(),
                         bitmap, key);
}
