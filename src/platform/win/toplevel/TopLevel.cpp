#include "platform/win/toplevel/TopLevel.h"

#include "platform/win/core/Tree.h"
#include "platform/win/paint/Paint.h"
#include "platform/win/paint/PaintInternal.h"
#include "platform/win/paint/Surface.h"

namespace {

void RepaintWhole(TWindow* w) {
    const RECT whole{-w->client.left, -w->client.top, w->Width() - w->client.left, w->Height() - w->client.top};
    Invalidate(w, TRegion(whole), RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    if (!IsTopLevel(w) && !IsRoot(w->parent))
        Invalidate(w->parent, TRegion(w->rect), RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

} // namespace

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) {
    TWindow* w = WindowOrError(hwnd);
    const TRegion* shape = region ? RegionOfHandle(region) : nullptr;
    if (!w || IsRoot(w) || (region && !shape)) {
        if (w && region) SetError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (shape)
        w->shape = *shape;
    else
        w->shape.reset();
    if (region) FreeRegionHandle(region);
    if (redraw) RepaintWhole(w);
    PresentTopLevelState(hwnd);
    return 1;
}

int GetWindowRgn(HWND hwnd, HRGN region) {
    TWindow* w = WindowOrError(hwnd);
    TRegion* target = RegionOfHandle(region);
    if (!w || !target || !w->shape) return RGN_ERROR;
    *target = *w->shape;
    return target->Complexity();
}

BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags) {
    TWindow* w = WindowOrError(hwnd);
    if (!w) return FALSE;
    if (!(w->exStyle & WS_EX_LAYERED) || (flags & ~(LWA_ALPHA | LWA_COLORKEY))) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    w->layeredFlags = flags;
    w->layeredSet = true;
    w->alpha = flags & LWA_ALPHA ? alpha : 255;
    if (flags & LWA_COLORKEY) w->colorKey = key;
    PresentTopLevelState(hwnd);
    return TRUE;
}

BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags) {
    TWindow* w = WindowOrError(hwnd);
    if (!w || !(w->exStyle & WS_EX_LAYERED) || !w->layeredSet) return FALSE;
    if (key) *key = w->colorKey;
    if (alpha) *alpha = w->alpha;
    if (flags) *flags = w->layeredFlags;
    return TRUE;
}

void SetWindowPerPixelAlpha(HWND top, bool perPixel) {
    TWindow* w = LocalWindow(top);
    if (!w || !IsTopLevel(w) || w->perPixelAlpha == perPixel) return;
    w->perPixelAlpha = perPixel;
    PresentTopLevelState(top);
}
