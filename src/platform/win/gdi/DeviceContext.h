#pragma once
// Device contexts: their state and what they draw on. Internal.
//
// Device coordinates are the DC's own: (0, 0) is the top-left of the bitmap,
// of the window's client area (or of the whole window for a window DC) or of
// the screen. Logical coordinates map to device ones through the window and
// viewport origins (MM_TEXT). The clip is kept in device coordinates and is
// always met with the DC's visible region.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/win/gdi/GdiTypes.h"
#include "platform/win/gdi/Objects.h"
#include "platform/win/gdi/Raster.h"
#include "platform/win/region/Region.h"

struct TSurface;

// A brush as it paints on one DC: 8x8 pixels anchored at the brush origin
// (device coordinates).
struct TPattern {
    bool solid = true;
    uint32_t color = 0;
    uint32_t pixels[64]; // filled when not solid
    POINT origin{};
    const uint32_t* Row(int deviceY) const noexcept { return pixels + ((deviceY - origin.y) & 7) * 8; }
};

enum class TDcKind { Memory, Window, Screen };

struct TDcState {
    HBITMAP bitmap = nullptr; // memory DCs
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    HPALETTE palette = nullptr;
    HFONT font = nullptr;
    UINT textAlign = 0;
    COLORREF text = 0, background = 0xFFFFFF;
    int bkMode = OPAQUE, rop2 = R2_COPYPEN, stretchMode = BLACKONWHITE, polyFillMode = ALTERNATE;
    POINT brushOrigin{}, windowOrigin{}, viewportOrigin{}, position{};
    bool clipped = false;
    TRegion clip; // device coordinates, when clipped
};

struct TDc {
    TDc(TDcKind kind, HDC handle);
    ~TDc();
    TDc(const TDc&) = delete;
    TDc& operator=(const TDc&) = delete;

    const TDcKind kind;
    HDC handle;
    HWND window = nullptr;      // window DCs
    TSurface* surface = nullptr; // a paint DC's surface; else looked up per call
    POINT surfaceOffset{};      // device (0, 0) on the surface
    TRegion visible;            // device coordinates; memory DCs: the bitmap
    TDcState state;
    std::vector<TDcState> saved;
    // The last pattern brush as it paints with the colours and bitmap it was made for.
    struct TPatternCache {
        HBRUSH brush = nullptr;
        COLORREF text = 0, background = 0;
        HBITMAP bitmap = nullptr;
        TPattern pattern;
    } patternCache;

    // Visible and clip met, device coordinates.
    const TRegion& DrawClip();
    void ClipChanged() noexcept { drawClipValid_ = false; }

    POINT ToDevice(POINT p) const noexcept {
        return POINT{p.x - state.windowOrigin.x + state.viewportOrigin.x,
                     p.y - state.windowOrigin.y + state.viewportOrigin.y};
    }
    RECT ToDevice(const RECT& r) const noexcept {
        const POINT a = ToDevice(POINT{r.left, r.top}), b = ToDevice(POINT{r.right, r.bottom});
        return RECT{a.x, a.y, b.x, b.y};
    }
    POINT ToLogical(POINT p) const noexcept {
        return POINT{p.x + state.windowOrigin.x - state.viewportOrigin.x,
                     p.y + state.windowOrigin.y - state.viewportOrigin.y};
    }
    // Selects Object into a slot of the current state, counting the selection.
    template <class Handle>
    void Select(Handle& slot, Handle object) {
        Retain(HGDIOBJ(object));
        const Handle previous = slot;
        slot = object;
        Release(HGDIOBJ(previous));
    }

private:
    TRegion drawClip_;
    bool drawClipValid_ = false;
};

TDc* DcOf(HDC dc);
HDC AddDc(std::unique_ptr<TDc> dc);
// Whether the DC's target is a monochrome bitmap.
bool IsMonochromeDc(TDc& dc);

// Where a drawing operation writes: the raster, the offset from device to
// raster coordinates and the clip.
struct TDrawTarget {
    TDc* dc = nullptr;
    TRaster raster;
    POINT offset{};
    RECT touched{}; // device coordinates
    bool screen = false;
};
// Bounds: device coordinates the operation may touch.
bool BeginDraw(TDc& dc, const RECT& bounds, TDrawTarget& target);
// Calls Paint with each part of Area (device) inside the clip, in raster coordinates.
template <class F>
void ForEachClipped(TDrawTarget& target, const RECT& area, F&& paint) {
    for (const RECT& c : target.dc->DrawClip().Rects()) {
        RECT r{std::max(area.left, c.left), std::max(area.top, c.top), std::min(area.right, c.right),
               std::min(area.bottom, c.bottom)};
        r.left = std::max<LONG>(r.left, -target.offset.x);
        r.top = std::max<LONG>(r.top, -target.offset.y);
        r.right = std::min<LONG>(r.right, target.raster.width - target.offset.x);
        r.bottom = std::min<LONG>(r.bottom, target.raster.height - target.offset.y);
        if (r.left >= r.right || r.top >= r.bottom) continue;
        if (target.touched.left >= target.touched.right) target.touched = r;
        else {
            target.touched.left = std::min(target.touched.left, r.left);
            target.touched.top = std::min(target.touched.top, r.top);
            target.touched.right = std::max(target.touched.right, r.right);
            target.touched.bottom = std::max(target.touched.bottom, r.bottom);
        }
        paint(RECT{r.left + target.offset.x, r.top + target.offset.y, r.right + target.offset.x,
                   r.bottom + target.offset.y});
    }
}
// Hands what was drawn on: marks window surfaces dirty, updates the screen overlay.
void EndDraw(TDrawTarget& target);

// The pixels of Area (device coordinates) of a DC as a blit source reads them;
// Offset maps device to raster coordinates.
bool BeginRead(TDc& dc, const RECT& area, TRaster& raster, POINT& offset);

// The screen: reading composes the windows, writing goes through the overlay.
bool ComposeScreen(const RECT& area, std::vector<uint32_t>& pixels, TRaster& raster);
void WriteScreenOverlay(const TRaster& drawn, const RECT& area);
HDC NewScreenDc();
// The screen overlay of the calling thread, null until something was drawn on the screen.
HWND ScreenOverlayWindow();
