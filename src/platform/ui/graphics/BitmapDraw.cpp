// Drawing a bitmap, with and without its transparent colour, and its masks.
#include "platform/rtl/ResourceStrings.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/UiErrors.h"
#include "platform/ui/graphics/Bitmap.h"
#include "platform/ui/graphics/GraphicStrings.h"
#include "platform/ui/graphics/MemoryDc.h"
#include "platform/win/gdi/Bitmaps.h"

namespace {

// Where the mask is 0 the source, where it is 1 the destination.
constexpr DWORD kMaskedCopy = MAKEROP4(0x00AA0029, SRCCOPY);

// A monochrome bitmap of Source's picture, 1 where it has the colour Key.
HBITMAP MaskOf(HDC source, int width, int height, COLORREF key) {
    const HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    if (!mask) throw EOutOfResources(LoadResString(SOutOfResources));
    const TMemoryDc memory(mask);
    const COLORREF background = SetBkColor(source, key);
    BitBlt(memory.dc, 0, 0, width, height, source, 0, 0, SRCCOPY);
    SetBkColor(source, background);
    return mask;
}

} // namespace

void TBitmap::FreeMask() {
    if (mask_) DeleteObject(ToGdiObject(mask_));
    mask_ = nullptr;
}

HBITMAP TBitmap::MaskHandle() {
    if (!mask_ && !Empty()) mask_ = MaskOf(Canvas()->Handle(), width_, height_, ColorToRGB(TransparentColor()));
    return mask_;
}

void TBitmap::Mask(TColor transparentColor) {
    if (Empty()) return;
    TImage image;
    image.width = width_;
    image.height = height_;
    image.format = pf1bit;
    image.deviceMono = true;
    image.handle = MaskOf(Canvas()->Handle(), width_, height_, ColorToRGB(transparentColor));
    Replace(std::move(image));
    Changed();
}

TColor TBitmap::TransparentColor() {
    if (transparentMode_ == tmFixed && transparentColor_ != clDefault) return transparentColor_;
    if (Empty()) return clDefault;
    return Monochrome() ? clWhite : Canvas()->Pixel(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor value) {
    const TTransparentMode mode = value == clDefault ? tmAuto : tmFixed;
    if (value == transparentColor_ && mode == transparentMode_) return;
    transparentColor_ = value;
    transparentMode_ = mode;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode value) {
    if (value == transparentMode_) return;
    SetTransparentColor(value == tmAuto ? clDefault : TransparentColor());
}

void TBitmap::Draw(TCanvas* canvas, const TRect& rect) {
    if (Empty()) return;
    const HDC source = Canvas()->Handle();
    const HDC dest = canvas->Handle();
    if (Transparent()) return DrawTransparent(dest, rect);
    StretchBlt(dest, rect.Left, rect.Top, rect.Width(), rect.Height(), source, 0, 0, width_, height_,
               DWORD(canvas->CopyMode()));
}

void TBitmap::DrawTransparent(HDC dest, const TRect& rect) {
    const HDC source = Canvas()->Handle();
    const HBITMAP mask = MaskHandle();
    const int width = rect.Width(), height = rect.Height();
    if (width == width_ && height == height_)
        return void(MaskBlt(dest, rect.Left, rect.Top, width, height, source, 0, 0, mask, 0, 0, kMaskedCopy));
    if (width <= 0 || height <= 0) return;
    // Stretched: the picture and its mask are stretched to the rectangle's size first.
    const HBITMAP picture = NewDibSection(width, height, 32);
    const HBITMAP stretchedMask = CreateBitmap(width, height, 1, 1, nullptr);
    if (picture && stretchedMask) {
        const TMemoryDc pictureDc(picture), stretchedMaskDc(stretchedMask), maskDc(mask);
        StretchBlt(pictureDc.dc, 0, 0, width, height, source, 0, 0, width_, height_, SRCCOPY);
        StretchBlt(stretchedMaskDc.dc, 0, 0, width, height, maskDc.dc, 0, 0, width_, height_, SRCCOPY);
        MaskBlt(dest, rect.Left, rect.Top, width, height, pictureDc.dc, 0, 0, stretchedMask, 0, 0, kMaskedCopy);
    }
    if (picture) DeleteObject(ToGdiObject(picture));
    if (stretchedMask) DeleteObject(ToGdiObject(stretchedMask));
}
