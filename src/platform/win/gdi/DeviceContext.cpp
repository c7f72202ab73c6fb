#include "platform/win/gdi/DeviceContext.h"

#include "platform/win/gdi/Gdi.h"
#include "platform/win/gdi/Objects.h"
#include "platform/win/paint/Paint.h"
#include "platform/win/paint/Surface.h"
#include "platform/win/system/SystemColors.h"
#include "platform/win/system/SystemMetrics.h"
#include "platform/win/text/TextTypes.h"

namespace {

constexpr uintptr_t kDcTag = uintptr_t{1} << 29;

TTaggedTable<TDc, HDC, kDcTag>& Dcs() {
    static auto* table = new TTaggedTable<TDc, HDC, kDcTag>;
    return *table;
}

DWORD CountedKind(TDcKind kind) noexcept { return kind == TDcKind::Memory ? OBJ_MEMDC : OBJ_DC; }

// The bitmap a memory DC holds until another is selected.
HBITMAP DefaultBitmap() {
    static const HBITMAP bitmap = [] {
        auto one = NewBitmap(1, 1, 1, false);
        one->stock = true;
        return reinterpret_cast<HBITMAP>(AddObject(std::move(one)));
    }();
    return bitmap;
}

void RetainState(const TDcState& state) {
    Retain(HGDIOBJ(state.bitmap));
    Retain(HGDIOBJ(state.pen));
    Retain(HGDIOBJ(state.brush));
    Retain(HGDIOBJ(state.palette));
    Retain(HGDIOBJ(state.font));
}

void ReleaseState(const TDcState& state) {
    Release(HGDIOBJ(state.bitmap));
    Release(HGDIOBJ(state.pen));
    Release(HGDIOBJ(state.brush));
    Release(HGDIOBJ(state.palette));
    Release(HGDIOBJ(state.font));
}

void AttachBitmap(TDc& dc, HBITMAP previous) {
    if (previous == dc.state.bitmap) return;
    if (TBitmapObject* old = FindBitmap(previous); old && old->selectedIn == dc.handle) old->selectedIn = nullptr;
    TBitmapObject* now = FindBitmap(dc.state.bitmap);
    if (now && !now->stock) now->selectedIn = dc.handle;
    dc.visible = now ? TRegion(RECT{0, 0, now->width, now->height}) : TRegion();
    dc.ClipChanged();
}

TDc* AdoptPaintDc(HDC handle) {
    TDeviceTarget* target = DeviceTargetOf(handle);
    if (!target) return nullptr;
    if (!target->drawState) {
        auto* dc = new TDc(TDcKind::Window, handle);
        dc->window = target->window;
        dc->surface = target->surface;
        dc->surfaceOffset = target->origin;
        dc->visible = target->clip;
        dc->visible.Offset(-target->origin.x, -target->origin.y);
        target->drawState = std::shared_ptr<void>(dc, [](void* p) { delete static_cast<TDc*>(p); });
    }
    return static_cast<TDc*>(target->drawState.get());
}

thread_local std::vector<uint32_t> screenDrawPixels, screenReadPixels;

} // namespace

TDc::TDc(TDcKind kind, HDC handle) : kind(kind), handle(handle) {
    state.pen = reinterpret_cast<HPEN>(GetStockObject(BLACK_PEN));
    state.brush = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    state.palette = reinterpret_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    state.font = reinterpret_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

TDc::~TDc() {
    if (TBitmapObject* bitmap = FindBitmap(state.bitmap); bitmap && bitmap->selectedIn == handle)
        bitmap->selectedIn = nullptr;
    ReleaseState(state);
    for (const TDcState& s : saved) ReleaseState(s);
}

const TRegion& TDc::DrawClip() {
    if (!drawClipValid_) {
        drawClip_ = state.clipped ? visible & state.clip : visible;
        drawClipValid_ = true;
    }
    return drawClip_;
}

HDC AddDc(std::unique_ptr<TDc> dc) {
    std::lock_guard lock(GdiMutex());
    const HDC handle = Dcs().Add(dc.get());
    dc->handle = handle;
    CountDc(CountedKind(dc->kind), 1);
    dc.release();
    return handle;
}

TDc* DcOf(HDC handle) {
    if (TDc* dc = Dcs().Find(handle)) return dc;
    return AdoptPaintDc(handle);
}

DWORD GetObjectType(HDC handle) {
    if (const TDc* dc = Dcs().Find(handle)) return CountedKind(dc->kind);
    return DeviceTargetOf(handle) ? OBJ_DC : 0;
}

bool IsMonochromeDc(TDc& dc) {
    if (dc.kind != TDcKind::Memory) return false;
    const TBitmapObject* bitmap = FindBitmap(dc.state.bitmap);
    return bitmap && bitmap->Monochrome();
}

namespace {

BOOL FreeDc(HDC handle, bool memory) {
    TDc* dc = Dcs().Find(handle);
    if (!dc || (dc->kind == TDcKind::Memory) != memory) return FALSE;
    {
        std::lock_guard lock(GdiMutex());
        Dcs().Remove(handle);
        CountDc(CountedKind(dc->kind), -1);
    }
    delete dc;
    return TRUE;
}

} // namespace

HDC CreateCompatibleDC(HDC source) {
    if (source && !DcOf(source)) return nullptr;
    auto dc = std::make_unique<TDc>(TDcKind::Memory, nullptr);
    TDc* raw = dc.get();
    const HDC handle = AddDc(std::move(dc));
    raw->Select(raw->state.bitmap, DefaultBitmap());
    AttachBitmap(*raw, nullptr);
    return handle;
}

BOOL DeleteDC(HDC dc) { return FreeDc(dc, true) || FreeDc(dc, false); }

int ReleaseDC(HWND, HDC dc) {
    TDc* context = Dcs().Find(dc);
    if (!context || context->kind == TDcKind::Memory) return 0;
    return FreeDc(dc, false);
}

HWND WindowFromDC(HDC handle) {
    const TDc* dc = DcOf(handle);
    return dc ? dc->window : nullptr;
}

HGDIOBJ GetCurrentObject(HDC handle, UINT kind) {
    const TDc* dc = DcOf(handle);
    if (!dc) return nullptr;
    switch (kind) {
    case OBJ_PEN: return HGDIOBJ(dc->state.pen);
    case OBJ_BRUSH: return HGDIOBJ(dc->state.brush);
    case OBJ_PAL: return HGDIOBJ(dc->state.palette);
    case OBJ_BITMAP: return HGDIOBJ(dc->state.bitmap);
    case OBJ_FONT: return HGDIOBJ(dc->state.font);
    }
    return nullptr;
}

int GetDeviceCaps(HDC handle, int index) {
    if (!DcOf(handle)) return 0;
    switch (index) {
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case HORZRES: return GetSystemMetrics(SM_CXSCREEN);
    case VERTRES: return GetSystemMetrics(SM_CYSCREEN);
    case NUMCOLORS: return -1;
    }
    return 0;
}

int SaveDC(HDC handle) {
    TDc* dc = DcOf(handle);
    if (!dc) return 0;
    RetainState(dc->state);
    dc->saved.push_back(dc->state);
    return int(dc->saved.size());
}

BOOL RestoreDC(HDC handle, int level) {
    TDc* dc = DcOf(handle);
    if (!dc) return FALSE;
    const int count = int(dc->saved.size());
    const int index = level > 0 ? level - 1 : count + level;
    if (level == 0 || index < 0 || index >= count) return FALSE;
    const HBITMAP previousBitmap = dc->state.bitmap;
    TDcState current = std::move(dc->state);
    dc->state = std::move(dc->saved[size_t(index)]);
    for (int i = index + 1; i < count; ++i) ReleaseState(dc->saved[size_t(i)]);
    dc->saved.resize(size_t(index));
    if (dc->kind == TDcKind::Memory) AttachBitmap(*dc, previousBitmap);
    ReleaseState(current);
    dc->ClipChanged();
    return TRUE;
}

BOOL GdiFlush() { return TRUE; }

// --- State ---------------------------------------------------------------------

namespace {

template <class T, class V>
T Exchange(HDC handle, T TDcState::*field, V value, T failure) {
    TDc* dc = DcOf(handle);
    if (!dc) return failure;
    const T previous = dc->state.*field;
    dc->state.*field = T(value);
    return previous;
}

template <class T>
T Read(HDC handle, T TDcState::*field, T failure) {
    const TDc* dc = DcOf(handle);
    return dc ? dc->state.*field : failure;
}

BOOL SetPoint(HDC handle, POINT TDcState::*field, int x, int y, POINT* previous, bool relative) {
    TDc* dc = DcOf(handle);
    if (!dc) return FALSE;
    POINT& p = dc->state.*field;
    if (previous) *previous = p;
    p = relative ? POINT{p.x + x, p.y + y} : POINT{x, y};
    return TRUE;
}

BOOL GetPoint(HDC handle, POINT TDcState::*field, POINT* out) {
    const TDc* dc = DcOf(handle);
    if (!dc || !out) return FALSE;
    *out = dc->state.*field;
    return TRUE;
}

COLORREF RgbOf(COLORREF color) noexcept { return color & 0x02000000 ? color & 0xFFFFFF : color; }

} // namespace

COLORREF SetTextColor(HDC dc, COLORREF color) {
    return Exchange(dc, &TDcState::text, RgbOf(color), CLR_INVALID);
}
COLORREF GetTextColor(HDC dc) { return Read(dc, &TDcState::text, CLR_INVALID); }
COLORREF SetBkColor(HDC dc, COLORREF color) {
    return Exchange(dc, &TDcState::background, RgbOf(color), CLR_INVALID);
}
COLORREF GetBkColor(HDC dc) { return Read(dc, &TDcState::background, CLR_INVALID); }
int SetBkMode(HDC dc, int mode) {
    return mode == TRANSPARENT || mode == OPAQUE ? Exchange(dc, &TDcState::bkMode, mode, 0) : 0;
}
int GetBkMode(HDC dc) { return Read(dc, &TDcState::bkMode, 0); }
int SetROP2(HDC dc, int mode) { return mode == R2_COPYPEN ? Exchange(dc, &TDcState::rop2, mode, 0) : 0; }
int SetStretchBltMode(HDC dc, int mode) {
    return mode >= BLACKONWHITE && mode <= HALFTONE ? Exchange(dc, &TDcState::stretchMode, mode, 0) : 0;
}
int GetStretchBltMode(HDC dc) { return Read(dc, &TDcState::stretchMode, 0); }
int SetPolyFillMode(HDC dc, int mode) {
    return mode == ALTERNATE || mode == WINDING ? Exchange(dc, &TDcState::polyFillMode, mode, 0) : 0;
}
int SetMapMode(HDC dc, int mode) { return mode == MM_TEXT && DcOf(dc) ? MM_TEXT : 0; }

BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* previous) {
    return SetPoint(dc, &TDcState::brushOrigin, x, y, previous, false);
}
BOOL GetBrushOrgEx(HDC dc, POINT* origin) { return GetPoint(dc, &TDcState::brushOrigin, origin); }
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* previous) {
    return SetPoint(dc, &TDcState::windowOrigin, x, y, previous, false);
}
BOOL GetWindowOrgEx(HDC dc, POINT* origin) { return GetPoint(dc, &TDcState::windowOrigin, origin); }
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* previous) {
    return SetPoint(dc, &TDcState::windowOrigin, dx, dy, previous, true);
}
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* previous) {
    return SetPoint(dc, &TDcState::viewportOrigin, x, y, previous, false);
}
BOOL GetViewportOrgEx(HDC dc, POINT* origin) { return GetPoint(dc, &TDcState::viewportOrigin, origin); }
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* previous) {
    return SetPoint(dc, &TDcState::viewportOrigin, dx, dy, previous, true);
}
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
    return SetPoint(dc, &TDcState::position, x, y, previous, false);
}
BOOL GetCurrentPositionEx(HDC dc, POINT* position) { return GetPoint(dc, &TDcState::position, position); }

BOOL LPtoDP(HDC handle, POINT* points, int count) {
    const TDc* dc = DcOf(handle);
    if (!dc || (count > 0 && !points)) return FALSE;
    for (int i = 0; i < count; ++i) points[i] = dc->ToDevice(points[i]);
    return TRUE;
}

BOOL DPtoLP(HDC handle, POINT* points, int count) {
    const TDc* dc = DcOf(handle);
    if (!dc || (count > 0 && !points)) return FALSE;
    for (int i = 0; i < count; ++i) points[i] = dc->ToLogical(points[i]);
    return TRUE;
}

HPALETTE SelectPalette(HDC handle, HPALETTE palette, BOOL) {
    TDc* dc = DcOf(handle);
    if (!dc || !FindPalette(palette)) return nullptr;
    const HPALETTE previous = dc->state.palette;
    dc->Select(dc->state.palette, palette);
    return previous;
}

UINT RealizePalette(HDC handle) { return DcOf(handle) ? 0 : UINT(-1); }

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
    TDc* dc = DcOf(handle);
    if (!dc || !object) return nullptr;
    if (SysColorBrushIndex(reinterpret_cast<HBRUSH>(object)) && !FindObject(object)) {
        const HBRUSH previous = dc->state.brush;
        dc->Select(dc->state.brush, reinterpret_cast<HBRUSH>(object));
        return HGDIOBJ(previous);
    }
    TGdiObject* found = FindObject(object);
    if (!found) {
        if (!RegionOfHandle(reinterpret_cast<HRGN>(object))) return nullptr;
        return reinterpret_cast<HGDIOBJ>(intptr_t(SelectClipRgn(handle, reinterpret_cast<HRGN>(object))));
    }
    auto exchange = [dc](auto& slot, HGDIOBJ with) {
        using Handle = std::remove_reference_t<decltype(slot)>;
        const Handle previous = slot;
        dc->Select(slot, reinterpret_cast<Handle>(with));
        return HGDIOBJ(previous);
    };
    switch (found->kind) {
    case OBJ_PEN: return exchange(dc->state.pen, object);
    case OBJ_BRUSH: return exchange(dc->state.brush, object);
    case OBJ_PAL: return exchange(dc->state.palette, object);
    case OBJ_FONT: return exchange(dc->state.font, object);
    case OBJ_BITMAP: {
        if (dc->kind != TDcKind::Memory) return nullptr;
        const auto* bitmap = static_cast<TBitmapObject*>(found);
        if (bitmap->selectedIn && bitmap->selectedIn != handle) return nullptr;
        const HBITMAP previous = dc->state.bitmap;
        dc->Select(dc->state.bitmap, reinterpret_cast<HBITMAP>(object));
        AttachBitmap(*dc, previous);
        return HGDIOBJ(previous);
    }
    default: return nullptr;
    }
}

// --- Targets ---------------------------------------------------------------------

bool BeginDraw(TDc& dc, const RECT& bounds, TDrawTarget& target) {
    target = TDrawTarget{};
    target.dc = &dc;
    switch (dc.kind) {
    case TDcKind::Memory: {
        const TBitmapObject* bitmap = FindBitmap(dc.state.bitmap);
        if (!bitmap) return false;
        target.raster = RasterOf(*bitmap);
        return true;
    }
    case TDcKind::Window: {
        TSurface* surface = dc.surface ? dc.surface : WindowSurface(dc.window);
        if (!surface) return false;
        target.raster = RasterOf(*surface);
        target.offset = dc.surfaceOffset;
        return true;
    }
    case TDcKind::Screen: {
        const RECT area{std::min(bounds.left, bounds.right), std::min(bounds.top, bounds.bottom),
                        std::max(bounds.left, bounds.right), std::max(bounds.top, bounds.bottom)};
        if (!ComposeScreen(area, screenDrawPixels, target.raster)) return false;
        target.offset = POINT{-area.left, -area.top};
        target.screen = true;
        return true;
    }
    }
    return false;
}

void EndDraw(TDrawTarget& target) {
    const RECT& t = target.touched;
    if (t.left >= t.right || t.top >= t.bottom) return;
    TDc& dc = *target.dc;
    if (dc.kind == TDcKind::Window) {
        TSurface* surface = dc.surface ? dc.surface : WindowSurface(dc.window);
        if (!surface) return;
        const RECT onSurface{t.left + target.offset.x, t.top + target.offset.y, t.right + target.offset.x,
                             t.bottom + target.offset.y};
        const auto& marked = surface->dirty.Rects();
        const bool known = std::any_of(marked.begin(), marked.end(), [&](const RECT& r) {
            return r.left <= onSurface.left && r.top <= onSurface.top && r.right >= onSurface.right &&
                   r.bottom >= onSurface.bottom;
        });
        if (!known) surface->dirty |= TRegion(onSurface);
    } else if (dc.kind == TDcKind::Screen) {
        WriteScreenOverlay(target.raster, RECT{-target.offset.x, -target.offset.y,
                                               -target.offset.x + target.raster.width,
                                               -target.offset.y + target.raster.height});
    }
}

bool BeginRead(TDc& dc, const RECT& area, TRaster& raster, POINT& offset) {
    offset = POINT{};
    switch (dc.kind) {
    case TDcKind::Memory: {
        const TBitmapObject* bitmap = FindBitmap(dc.state.bitmap);
        if (!bitmap) return false;
        raster = RasterOf(*bitmap);
        return true;
    }
    case TDcKind::Window: {
        TSurface* surface = dc.surface ? dc.surface : WindowSurface(dc.window);
        if (!surface) return false;
        raster = RasterOf(*surface);
        offset = dc.surfaceOffset;
        return true;
    }
    case TDcKind::Screen:
        if (!ComposeScreen(area, screenReadPixels, raster)) return false;
        offset = POINT{-area.left, -area.top};
        return true;
    }
    return false;
}
