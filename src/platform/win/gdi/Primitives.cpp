// Rectangles, lines, pixels and the shapes whose coverage the rasteriser gives.
#include <mutex>

#include "platform/win/gdi/Blit.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/gdi/Shapes.h"

namespace {

std::mutex rasterizerMutex;

std::shared_ptr<IShapeRasterizer>& CurrentRasterizer() {
    static auto* rasterizer = new std::shared_ptr<IShapeRasterizer>;
    return *rasterizer;
}

RECT Ordered(const RECT& r) noexcept {
    return RECT{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                std::max(r.top, r.bottom)};
}

// The pen as it draws, or nothing for a null pen.
bool PenOf(TDc& dc, TPattern& pattern, int& width) {
    const TPenObject* pen = FindPen(dc.state.pen);
    if (!pen || pen->style == PS_NULL) return false;
    pattern = SolidPattern(dc, pen->color);
    width = pen->width;
    return true;
}

bool PaintRegion(TDc& dc, const TRegion& region, const TPattern& pattern, TRop rop = TRop::PatCopy) {
    if (region.IsEmpty()) return true;
    TDrawTarget target;
    if (!BeginDraw(dc, region.Bounds(), target)) return false;
    for (const RECT& r : region.Rects()) PaintArea(target, r, pattern, rop);
    EndDraw(target);
    return true;
}

// The pixels of a one-pixel line from A up to, not including, B (device coordinates).
TRegion LinePixels(POINT a, POINT b) {
    if (a.y == b.y) return TRegion(RECT{std::min(a.x, b.x + 1), a.y, a.x < b.x ? b.x : a.x + 1, a.y + 1}) -
                           TRegion(RECT{b.x, b.y, b.x + 1, b.y + 1});
    if (a.x == b.x) return TRegion(RECT{a.x, std::min(a.y, b.y + 1), a.x + 1, a.y < b.y ? b.y : a.y + 1}) -
                           TRegion(RECT{b.x, b.y, b.x + 1, b.y + 1});
    std::vector<RECT> pixels;
    const int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
    const int stepX = a.x < b.x ? 1 : -1, stepY = a.y < b.y ? 1 : -1;
    int error = dx + dy, x = a.x, y = a.y;
    while (x != b.x || y != b.y) {
        pixels.push_back(RECT{x, y, x + 1, y + 1});
        const int twice = 2 * error;
        if (twice >= dy) error += dy, x += stepX;
        if (twice <= dx) error += dx, y += stepY;
    }
    return TRegion::FromRects(pixels);
}

// The pen's pixels along the points (device coordinates), each segment's end excluded.
TRegion PenPixels(std::span<const POINT> points, bool closed, int width) {
    if (width > 1) {
        const auto rasterizer = ShapeRasterizer();
        return rasterizer ? rasterizer->Stroke(points, closed, width) : TRegion();
    }
    TRegion pixels;
    const size_t n = points.size();
    for (size_t i = 0; i + 1 < n + (closed ? 1 : 0); ++i) pixels |= LinePixels(points[i], points[(i + 1) % n]);
    return pixels;
}

// Fill with the brush and outline with the pen, the outline covering Outer minus Inner.
BOOL FillAndOutline(TDc& dc, const TRegion& inner, const TRegion& outline) {
    TPattern brush;
    if (MakePattern(dc, dc.state.brush, brush) && !PaintRegion(dc, inner, brush)) return FALSE;
    TPattern pen;
    int width;
    if (PenOf(dc, pen, width) && !PaintRegion(dc, outline, pen)) return FALSE;
    return TRUE;
}

using TShapeOf = TRegion (*)(IShapeRasterizer&, const RECT&, int, int);

BOOL DrawClosedShape(HDC handle, const RECT& logical, TShapeOf shape, int cornerWidth, int cornerHeight) {
    TDc* dc = DcOf(handle);
    if (!dc) return FALSE;
    const auto rasterizer = ShapeRasterizer();
    if (!rasterizer) return FALSE;
    const RECT box = Ordered(dc->ToDevice(logical));
    TPattern pen;
    int width = 0;
    if (!PenOf(*dc, pen, width)) {
        const RECT inside{box.left, box.top, box.right - 1, box.bottom - 1};
        return FillAndOutline(*dc, shape(*rasterizer, inside, cornerWidth, cornerHeight), TRegion());
    }
    const TRegion outer = shape(*rasterizer, box, cornerWidth, cornerHeight);
    const RECT insideBox{box.left + width, box.top + width, box.right - width, box.bottom - width};
    const TRegion inner = insideBox.left < insideBox.right && insideBox.top < insideBox.bottom
                              ? shape(*rasterizer, insideBox, std::max(cornerWidth - 2 * width, 0),
                                      std::max(cornerHeight - 2 * width, 0))
                              : TRegion();
    return FillAndOutline(*dc, inner & outer, outer - inner);
}

} // namespace

void SetShapeRasterizer(std::shared_ptr<IShapeRasterizer> rasterizer) {
    std::lock_guard lock(rasterizerMutex);
    CurrentRasterizer() = std::move(rasterizer);
}

std::shared_ptr<IShapeRasterizer> ShapeRasterizer() {
    std::lock_guard lock(rasterizerMutex);
    return CurrentRasterizer();
}

int FillRect(HDC handle, const RECT* rect, HBRUSH brush) {
    TDc* dc = DcOf(handle);
    if (!dc || !rect) return FALSE;
    TPattern pattern;
    if (!MakePattern(*dc, brush, pattern)) return FALSE;
    return FillDevice(*dc, dc->ToDevice(*rect), pattern, TRop::PatCopy);
}

int FrameRect(HDC handle, const RECT* rect, HBRUSH brush) {
    TDc* dc = DcOf(handle);
    if (!dc || !rect) return FALSE;
    TPattern pattern;
    if (!MakePattern(*dc, brush, pattern)) return FALSE;
    const RECT r = dc->ToDevice(*rect);
    if (r.left >= r.right || r.top >= r.bottom) return TRUE;
    const TRegion frame = TRegion(r) - TRegion(RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1});
    return PaintRegion(*dc, frame, pattern);
}

BOOL InvertRect(HDC handle, const RECT* rect) {
    TDc* dc = DcOf(handle);
    if (!dc || !rect) return FALSE;
    return FillDevice(*dc, dc->ToDevice(*rect), TPattern{}, TRop::DstInvert);
}

BOOL Rectangle(HDC handle, int left, int top, int right, int bottom) {
    TDc* dc = DcOf(handle);
    if (!dc) return FALSE;
    const RECT box = Ordered(dc->ToDevice(RECT{left, top, right, bottom}));
    TPattern pen;
    int width = 0;
    if (!PenOf(*dc, pen, width)) {
        return FillAndOutline(*dc, TRegion(RECT{box.left, box.top, box.right - 1, box.bottom - 1}), TRegion());
    }
    const TRegion outer(box);
    const TRegion inner(RECT{box.left + width, box.top + width, box.right - width, box.bottom - width});
    return FillAndOutline(*dc, inner, outer - inner);
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom) {
    return DrawClosedShape(
        dc, RECT{left, top, right, bottom},
        [](IShapeRasterizer& r, const RECT& box, int, int) { return r.Ellipse(box); }, 0, 0);
}

BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height) {
    return DrawClosedShape(
        dc, RECT{left, top, right, bottom},
        [](IShapeRasterizer& r, const RECT& box, int w, int h) { return r.RoundRect(box, w, h); }, width, height);
}

BOOL Polygon(HDC handle, const POINT* points, int count) {
    TDc* dc = DcOf(handle);
    if (!dc || !points || count < 2) return FALSE;
    std::vector<POINT> device(points, points + count);
    for (POINT& p : device) p = dc->ToDevice(p);
    TRegion inside;
    if (const auto rasterizer = ShapeRasterizer())
        inside = rasterizer->Polygon(device, dc->state.polyFillMode == WINDING);
    TPattern pen;
    int width = 0;
    const TRegion outline = PenOf(*dc, pen, width) ? PenPixels(device, true, width) : TRegion();
    return FillAndOutline(*dc, inside, outline);
}

BOOL Polyline(HDC handle, const POINT* points, int count) {
    TDc* dc = DcOf(handle);
    if (!dc || !points || count < 2) return FALSE;
    TPattern pen;
    int width;
    if (!PenOf(*dc, pen, width)) return TRUE;
    std::vector<POINT> device(points, points + count);
    for (POINT& p : device) p = dc->ToDevice(p);
    return PaintRegion(*dc, PenPixels(device, false, width), pen);
}

BOOL LineTo(HDC handle, int x, int y) {
    TDc* dc = DcOf(handle);
    if (!dc) return FALSE;
    const POINT from = dc->state.position;
    dc->state.position = POINT{x, y};
    TPattern pen;
    int width;
    if (!PenOf(*dc, pen, width)) return TRUE;
    const POINT line[2] = {dc->ToDevice(from), dc->ToDevice(POINT{x, y})};
    return PaintRegion(*dc, PenPixels(line, false, width), pen);
}

COLORREF SetPixel(HDC handle, int x, int y, COLORREF color) {
    TDc* dc = DcOf(handle);
    if (!dc) return CLR_INVALID;
    const POINT p = dc->ToDevice(POINT{x, y});
    if (!dc->DrawClip().Contains(p.x, p.y)) return CLR_INVALID;
    if (!FillDevice(*dc, RECT{p.x, p.y, p.x + 1, p.y + 1}, SolidPattern(*dc, color), TRop::PatCopy))
        return CLR_INVALID;
    return GetPixel(handle, x, y);
}

BOOL SetPixelV(HDC dc, int x, int y, COLORREF color) { return SetPixel(dc, x, y, color) != CLR_INVALID; }

COLORREF GetPixel(HDC handle, int x, int y) {
    TDc* dc = DcOf(handle);
    if (!dc) return CLR_INVALID;
    const POINT p = dc->ToDevice(POINT{x, y});
    if (!dc->visible.Contains(p.x, p.y) && dc->kind != TDcKind::Screen) return CLR_INVALID;
    TRaster raster;
    POINT offset;
    if (!BeginRead(*dc, RECT{p.x, p.y, p.x + 1, p.y + 1}, raster, offset)) return CLR_INVALID;
    const int rx = p.x + offset.x, ry = p.y + offset.y;
    if (rx < 0 || ry < 0 || rx >= raster.width || ry >= raster.height) return CLR_INVALID;
    return PixelColor(ReadPixel(raster, rx, ry));
}
