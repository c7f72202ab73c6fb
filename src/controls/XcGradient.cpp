#include "controls/XcGradient.h"

#include <algorithm>
#include <utility>

#include "platform/rtl/Conversions.h"
#include "platform/ui/Brush.h"
#include "platform/ui/Pen.h"
#include "platform/win/gdi/Gdi.h"

namespace {

class TXcCanvasLock {
public:
    explicit TXcCanvasLock(TCanvas* canvas) : canvas_(canvas) { canvas_->Lock(); }
    ~TXcCanvasLock() { canvas_->Unlock(); }
    TXcCanvasLock(const TXcCanvasLock&) = delete;
    TXcCanvasLock& operator=(const TXcCanvasLock&) = delete;

private:
    TCanvas* canvas_;
};

// Whether the device context maps logical units one to one (MM_TEXT).
bool XcMapsText(HDC dc) {
    const int mode = SetMapMode(dc, MM_TEXT);
    SetMapMode(dc, mode);
    return mode == MM_TEXT;
}

void FillXcBand(TCanvas* canvas, const TRect& rect, COLORREF color) {
    canvas->Brush()->SetColor(TColor(color));
    canvas->FillRect(rect);
}

} // namespace

void FillGradient(TCanvas* canvas, const TRect& rect, TColor start, TColor finish, TXcGradientStyle style, int bands) {
    TXcCanvasLock lock(canvas);
    if (start == clNone && finish == clNone) return;
    if ((rect.Width() <= 0 || rect.Height() <= 0) && XcMapsText(canvas->Handle())) return;
    COLORREF from = ColorToRGB(start);
    COLORREF to = ColorToRGB(finish);
    if (style == TXcGradientStyle::gsBottomToTop || style == TXcGradientStyle::gsRightToLeft) std::swap(from, to);
    const bool vertical = style == TXcGradientStyle::gsTopToBottom || style == TXcGradientStyle::gsBottomToTop;
    if (bands < 2 || from == to) {
        FillXcBand(canvas, rect, from);
        return;
    }
    const int dr = int(GetRValue(to)) - GetRValue(from);
    const int dg = int(GetGValue(to)) - GetGValue(from);
    const int db = int(GetBValue(to)) - GetBValue(from);
    const int extent = vertical ? rect.Height() : rect.Width();
    const int n = std::max(std::min(bands, extent), 2);
    const int band = extent / n;
    canvas->Pen()->SetStyle(psSolid);
    canvas->Pen()->SetMode(pmCopy);
    if (band > 0) {
        for (int i = 0; i < n; ++i) {
            const COLORREF color = RGB(GetRValue(from) + MulDiv(i, dr, n - 1), GetGValue(from) + MulDiv(i, dg, n - 1),
                                       GetBValue(from) + MulDiv(i, db, n - 1));
            const TRect part = vertical ? TRect{rect.Left, rect.Top + i * band, rect.Right, rect.Top + (i + 1) * band}
                                        : TRect{rect.Left + i * band, rect.Top, rect.Left + (i + 1) * band, rect.Bottom};
            FillXcBand(canvas, part, color);
        }
    }
    if (extent % n > 0) {
        const TRect rest = vertical ? TRect{rect.Left, rect.Top + n * band, rect.Right, rect.Bottom}
                                    : TRect{rect.Left + n * band, rect.Top, rect.Right, rect.Bottom};
        FillXcBand(canvas, rest, to);
    }
}
