// Moving pixels inside a DC.
#include "platform/win/gdi/Blit.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/paint/Paint.h"

BOOL ScrollDC(HDC handle, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* updateRect) {
    TDc* dc = DcOf(handle);
    if (!dc) return FALSE;
    // Everything in device coordinates: what is moved, where it may land.
    const TRegion& drawable = dc->DrawClip();
    const RECT all = drawable.Bounds();
    const RECT from = scroll ? dc->ToDevice(*scroll) : all;
    TRegion limit = clip ? TRegion(dc->ToDevice(*clip)) & drawable : drawable;
    TRegion source = TRegion(from) & limit;
    TRegion moved = source;
    moved.Offset(dx, dy);
    moved &= limit;
    // The uncovered part: what could receive pixels but got none.
    const TRegion uncovered = (TRegion(from) & limit) - moved;
    if (!moved.IsEmpty() && (dx != 0 || dy != 0)) {
        // Copy through the blit loop, limited to the landing area.
        const TDcState saved = dc->state;
        dc->state.clipped = true;
        dc->state.clip = moved;
        dc->ClipChanged();
        const RECT box = moved.Bounds();
        const POINT a = dc->ToLogical(POINT{box.left, box.top});
        BitBlt(handle, a.x, a.y, box.right - box.left, box.bottom - box.top, handle, a.x - dx, a.y - dy, SRCCOPY);
        dc->state.clipped = saved.clipped;
        dc->state.clip = saved.clip;
        dc->ClipChanged();
    }
    TRegion logical = uncovered;
    const POINT shift = dc->ToLogical(POINT{0, 0});
    logical.Offset(shift.x, shift.y);
    if (TRegion* out = RegionOfHandle(update)) *out = logical;
    if (updateRect) *updateRect = logical.Bounds();
    return TRUE;
}
