// Region handles over the window system's regions, and clipping.
#include "platform/win/gdi/Blit.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/paint/Paint.h"

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    return MakeRegionHandle(TRegion(RECT{std::min(left, right), std::min(top, bottom), std::max(left, right),
                                         std::max(top, bottom)}));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
    return rect ? CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr;
}

BOOL SetRectRgn(HRGN handle, int left, int top, int right, int bottom) {
    TRegion* region = RegionOfHandle(handle);
    if (!region) return FALSE;
    *region = TRegion(RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)});
    return TRUE;
}

int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode) {
    TRegion* out = RegionOfHandle(dest);
    const TRegion* first = RegionOfHandle(a);
    const TRegion* second = mode == RGN_COPY ? first : RegionOfHandle(b);
    if (!out || !first || !second) return RGN_ERROR;
    switch (mode) {
    case RGN_AND: *out = *first & *second; break;
    case RGN_OR: *out = *first | *second; break;
    case RGN_XOR: *out = *first ^ *second; break;
    case RGN_DIFF: *out = *first - *second; break;
    case RGN_COPY: *out = *first; break;
    default: return RGN_ERROR;
    }
    return out->Complexity();
}

int OffsetRgn(HRGN handle, int dx, int dy) {
    TRegion* region = RegionOfHandle(handle);
    if (!region) return RGN_ERROR;
    region->Offset(dx, dy);
    return region->Complexity();
}

int GetRgnBox(HRGN handle, RECT* box) {
    const TRegion* region = RegionOfHandle(handle);
    if (!region || !box) return RGN_ERROR;
    *box = region->Bounds();
    return region->Complexity();
}

BOOL PtInRegion(HRGN handle, int x, int y) {
    const TRegion* region = RegionOfHandle(handle);
    return region && region->Contains(x, y);
}

BOOL RectInRegion(HRGN handle, const RECT* rect) {
    const TRegion* region = RegionOfHandle(handle);
    return region && rect && region->Intersects(*rect);
}

BOOL EqualRgn(HRGN a, HRGN b) {
    const TRegion* first = RegionOfHandle(a);
    const TRegion* second = RegionOfHandle(b);
    return first && second && *first == *second;
}

BOOL FillRgn(HDC handle, HRGN regionHandle, HBRUSH brush) {
    TDc* dc = DcOf(handle);
    const TRegion* region = RegionOfHandle(regionHandle);
    if (!dc || !region) return FALSE;
    TPattern pattern;
    if (!MakePattern(*dc, brush, pattern)) return FALSE;
    TRegion device = *region;
    const POINT origin = dc->ToDevice(POINT{0, 0});
    device.Offset(origin.x, origin.y);
    TDrawTarget target;
    if (!BeginDraw(*dc, device.Bounds(), target)) return FALSE;
    for (const RECT& r : device.Rects()) PaintArea(target, r, pattern, TRop::PatCopy);
    EndDraw(target);
    return TRUE;
}

// --- Clipping --------------------------------------------------------------------

namespace {

int Clip(TDc& dc, const TRegion& with, int mode) {
    const TRegion current = dc.state.clipped ? dc.state.clip : dc.visible;
    switch (mode) {
    case RGN_COPY: dc.state.clip = with; break;
    case RGN_AND: dc.state.clip = current & with; break;
    case RGN_OR: dc.state.clip = current | with; break;
    case RGN_XOR: dc.state.clip = current ^ with; break;
    case RGN_DIFF: dc.state.clip = current - with; break;
    default: return RGN_ERROR;
    }
    dc.state.clipped = true;
    dc.ClipChanged();
    return dc.DrawClip().Complexity();
}

TRegion DeviceRect(const TDc& dc, int left, int top, int right, int bottom) {
    const RECT r = dc.ToDevice(RECT{left, top, right, bottom});
    return TRegion(RECT{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                        std::max(r.top, r.bottom)});
}

} // namespace

int ExtSelectClipRgn(HDC handle, HRGN regionHandle, int mode) {
    TDc* dc = DcOf(handle);
    if (!dc) return RGN_ERROR;
    if (!regionHandle) {
        if (mode != RGN_COPY) return RGN_ERROR;
        dc->state.clipped = false;
        dc->state.clip = TRegion();
        dc->ClipChanged();
        return dc->DrawClip().Complexity();
    }
    const TRegion* region = RegionOfHandle(regionHandle);
    return region ? Clip(*dc, *region, mode) : RGN_ERROR;
}

int SelectClipRgn(HDC dc, HRGN region) { return ExtSelectClipRgn(dc, region, RGN_COPY); }

int IntersectClipRect(HDC handle, int left, int top, int right, int bottom) {
    TDc* dc = DcOf(handle);
    return dc ? Clip(*dc, DeviceRect(*dc, left, top, right, bottom), RGN_AND) : RGN_ERROR;
}

int ExcludeClipRect(HDC handle, int left, int top, int right, int bottom) {
    TDc* dc = DcOf(handle);
    return dc ? Clip(*dc, DeviceRect(*dc, left, top, right, bottom), RGN_DIFF) : RGN_ERROR;
}

int GetClipBox(HDC handle, RECT* box) {
    TDc* dc = DcOf(handle);
    if (!dc || !box) return RGN_ERROR;
    const TRegion& clip = dc->DrawClip();
    const RECT bounds = clip.Bounds();
    const POINT a = dc->ToLogical(POINT{bounds.left, bounds.top}), b = dc->ToLogical(POINT{bounds.right, bounds.bottom});
    *box = clip.IsEmpty() ? RECT{} : RECT{a.x, a.y, b.x, b.y};
    return clip.Complexity();
}

int GetClipRgn(HDC handle, HRGN regionHandle) {
    TDc* dc = DcOf(handle);
    TRegion* region = RegionOfHandle(regionHandle);
    if (!dc || !region) return -1;
    if (!dc->state.clipped) return 0;
    *region = dc->state.clip;
    return 1;
}

BOOL RectVisible(HDC handle, const RECT* rect) {
    TDc* dc = DcOf(handle);
    if (!dc || !rect) return FALSE;
    const RECT r = DeviceRect(*dc, rect->left, rect->top, rect->right, rect->bottom).Bounds();
    return dc->DrawClip().Intersects(r);
}

BOOL PtVisible(HDC handle, int x, int y) {
    TDc* dc = DcOf(handle);
    if (!dc) return FALSE;
    const POINT p = dc->ToDevice(POINT{x, y});
    return dc->DrawClip().Contains(p.x, p.y);
}
