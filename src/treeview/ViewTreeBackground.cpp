// The Background picture behind rows and below them: fixed in the window
// (static) or tiled over the tree. Offset is where R lies in the space the
// picture is anchored to.

#include <algorithm>

#include "platform/ui/Canvas.h"
#include "platform/ui/graphics/Bitmap.h"
#include "platform/ui/graphics/Picture.h"
#include "platform/win/gdi/Gdi.h"
#include "treeview/BaseViewTree.h"

namespace {
// Where the mask is 0 the source is copied, where it is 1 the destination stays.
constexpr DWORD kMaskCopyRop = 0xCCAA0029;
} // namespace

void TBaseViewTree::PaintStaticBackground(TCanvas* canvas, TRect r, TPoint offset) {
    canvas->Brush()->SetColor(Color());
    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(r);
    TBitmap* bitmap = background_->Bitmap();
    const TRect picture{backgroundOffset_[0], backgroundOffset_[1], backgroundOffset_[0] + bitmap->Width(),
                        backgroundOffset_[1] + bitmap->Height()};
    const TRect area{r.Left + offset.X, r.Top + offset.Y, r.Right + offset.X, r.Bottom + offset.Y};
    const TRect d{std::max(picture.Left, area.Left), std::max(picture.Top, area.Top),
                  std::min(picture.Right, area.Right), std::min(picture.Bottom, area.Bottom)};
    if (d.Left >= d.Right || d.Top >= d.Bottom) return;
    const HDC source = bitmap->Canvas()->Handle();
    const int x = d.Left - offset.X, y = d.Top - offset.Y;
    const int sx = d.Left - picture.Left, sy = d.Top - picture.Top;
    if (bitmap->Transparent())
        MaskBlt(canvas->Handle(), x, y, d.Width(), d.Height(), source, sx, sy, bitmap->MaskHandle(), sx, sy,
                kMaskCopyRop);
    else
        BitBlt(canvas->Handle(), x, y, d.Width(), d.Height(), source, sx, sy, SRCCOPY);
}

void TBaseViewTree::PaintTiledBackground(TCanvas* canvas, TRect r, TPoint offset) {
    TBitmap* bitmap = background_->Bitmap();
    const int w = bitmap->Width(), h = bitmap->Height();
    if (w <= 0 || h <= 0) {
        // Nothing to tile with: the area shows the tree's colour.
        canvas->Brush()->SetColor(Color());
        canvas->Brush()->SetStyle(bsSolid);
        canvas->FillRect(r);
        return;
    }
    const HDC source = bitmap->Canvas()->Handle();
    const HDC target = canvas->Handle();
    auto wrap = [](int value, int size) {
        const int m = value % size;
        return m < 0 ? m + size : m;
    };
    int sy = wrap(r.Top + offset.Y + backgroundOffset_[1], h);
    for (int y = r.Top; y < r.Bottom;) {
        int sx = wrap(r.Left + offset.X + backgroundOffset_[0], w);
        const int bandHeight = std::min(h - sy, r.Bottom - y);
        for (int x = r.Left; x < r.Right;) {
            BitBlt(target, x, y, std::min(r.Right - x, w - sx), bandHeight, source, sx, sy, SRCCOPY);
            x += w - sx;
            sx = 0;
        }
        y += h - sy;
        sy = 0;
    }
}
