// Edges and focus rectangles.
#include "platform/win/gdi/Edges.h"

#include <cstring>

#include "platform/win/gdi/Blit.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/system/SystemColors.h"

void FillColor(HDC handle, const RECT& rect, COLORREF color) {
    if (TDc* dc = DcOf(handle)) FillDevice(*dc, dc->ToDevice(rect), SolidPattern(*dc, color), TRop::PatCopy);
}

void FillSysColor(HDC dc, const RECT& rect, int colorIndex) { FillColor(dc, rect, GetSysColor(colorIndex)); }

void PaintGlyph(HDC dc, int x, int y, const char* const* rows, int rowCount, const char* keys, const COLORREF* colors) {
    for (int row = 0; row < rowCount; ++row)
        for (int column = 0; rows[row][column]; ++column) {
            const char* key = std::strchr(keys, rows[row][column]);
            if (!key || !*key) continue;
            const int px = x + column, py = y + row;
            FillColor(dc, RECT{px, py, px + 1, py + 1}, colors[key - keys]);
        }
}

BOOL DrawFocusRect(HDC handle, const RECT* rect) {
    TDc* dc = DcOf(handle);
    if (!dc || !rect) return FALSE;
    const RECT r = dc->ToDevice(*rect);
    if (r.left >= r.right || r.top >= r.bottom) return TRUE;
    TDrawTarget target;
    if (!BeginDraw(*dc, r, target)) return FALSE;
    // Every other pixel of the outline, by the parity of its device position.
    const RECT sides[4] = {{r.left, r.top, r.right, r.top + 1},
                           {r.left, r.bottom - 1, r.right, r.bottom},
                           {r.left, r.top + 1, r.left + 1, r.bottom - 1},
                           {r.right - 1, r.top + 1, r.right, r.bottom - 1}};
    const int sideCount = r.bottom - r.top > 1 ? (r.right - r.left > 1 ? 4 : 3) : 1;
    for (int i = 0; i < sideCount; ++i)
        ForEachClipped(target, sides[i], [&](const RECT& area) {
            const int parity = (target.offset.x + target.offset.y) & 1;
            for (int y = area.top; y < area.bottom; ++y) {
                const int first = area.left + ((area.left + y + parity) & 1);
                if (target.raster.bpp == 32) {
                    uint32_t* row = target.raster.Row32(y);
                    for (int x = first; x < area.right; x += 2) row[x] ^= 0x00FFFFFF;
                } else {
                    for (int x = first; x < area.right; x += 2)
                        WritePixel(target.raster, x, y, ReadPixel(target.raster, x, y) ^ 0x00FFFFFF);
                }
            }
        });
    EndDraw(target);
    return TRUE;
}

namespace {

// Top-left and bottom-right colours of one line of an edge.
struct TEdgeColors {
    int topLeft = -1, bottomRight = -1;
};

TEdgeColors OuterColors(UINT edge, UINT flags) {
    if (!(edge & BDR_OUTER)) return {};
    if (flags & BF_MONO) return {COLOR_WINDOWFRAME, COLOR_WINDOWFRAME};
    if (flags & BF_FLAT) return {COLOR_BTNSHADOW, COLOR_BTNSHADOW};
    const bool soft = (flags & BF_SOFT) != 0;
    if (edge & BDR_RAISEDOUTER) return {soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT, COLOR_3DDKSHADOW};
    return {soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
}

TEdgeColors InnerColors(UINT edge, UINT flags) {
    if (!(edge & BDR_INNER)) return {};
    if (flags & BF_MONO) return {COLOR_WINDOW, COLOR_WINDOW};
    if (flags & BF_FLAT) return {COLOR_BTNFACE, COLOR_BTNFACE};
    const bool soft = (flags & BF_SOFT) != 0;
    if (edge & BDR_RAISEDINNER) return {soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
    return {soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW, COLOR_3DLIGHT};
}

// Draws one line on each flagged side of R and shrinks R past it.
void DrawLayer(HDC dc, RECT& r, const TEdgeColors& colors, UINT flags) {
    if (colors.topLeft < 0) return;
    if (flags & BF_LEFT) FillSysColor(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, colors.topLeft);
    if (flags & BF_TOP) FillSysColor(dc, RECT{r.left, r.top, r.right, r.top + 1}, colors.topLeft);
    if (flags & BF_RIGHT) FillSysColor(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, colors.bottomRight);
    if (flags & BF_BOTTOM) FillSysColor(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, colors.bottomRight);
    if (flags & BF_LEFT) ++r.left;
    if (flags & BF_TOP) ++r.top;
    if (flags & BF_RIGHT) --r.right;
    if (flags & BF_BOTTOM) --r.bottom;
}

} // namespace

BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags) {
    if (!rect || !DcOf(dc)) return FALSE;
    RECT r = *rect;
    DrawLayer(dc, r, OuterColors(edge, flags), flags);
    DrawLayer(dc, r, InnerColors(edge, flags), flags);
    if ((flags & BF_MIDDLE) && r.left < r.right && r.top < r.bottom)
        FillSysColor(dc, r, flags & BF_MONO ? COLOR_WINDOW : COLOR_BTNFACE);
    if (flags & BF_ADJUST) *rect = r;
    return TRUE;
}
