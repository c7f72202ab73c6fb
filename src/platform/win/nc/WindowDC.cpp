#include "platform/win/nc/WindowDC.h"

#include "platform/win/core/Paint.h"
#include "platform/win/paint/Paint.h"

HDC OpenWindowDC(TWindow* w, TRegion clip) {
    TSurface& surface = SurfaceFor(w);
    const POINT client = SurfaceOrigin(w);
    const POINT origin{client.x - w->client.left, client.y - w->client.top};
    clip &= VisibleWindowRegion(w);
    clip.Offset(origin.x, origin.y);
    clip &= TRegion(RECT{0, 0, surface.width, surface.height});
    return MakeDeviceTarget(w->handle, surface, origin, std::move(clip));
}

void CloseWindowDC(HDC dc) {
    if (const TDeviceTarget* target = DeviceTargetOf(dc)) target->surface->dirty |= target->clip;
    FreeDeviceTarget(dc);
}

bool ShiftDCOrigin(HDC dc, int dx, int dy) {
    TDeviceTarget* target = DeviceTargetOf(dc);
    if (!target) return false;
    target->origin.x += dx;
    target->origin.y += dy;
    return true;
}
