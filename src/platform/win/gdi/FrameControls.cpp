// Check boxes, radio buttons, push buttons, scroll arrows and the size grip,
// drawn from our own shapes in the classic colours.
#include <algorithm>

#include "platform/win/gdi/Edges.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/system/SystemColors.h"

namespace {

constexpr int kCheckSize = 13;

UINT EdgeFlags(UINT state) {
    UINT flags = BF_RECT;
    if (state & DFCS_MONO) flags |= BF_MONO;
    else if (state & DFCS_FLAT) flags |= BF_FLAT;
    return flags;
}

// The square of the check box or radio button, centred in Rect.
RECT GlyphBox(const RECT& r) {
    const int x = r.left + (r.right - r.left - kCheckSize) / 2, y = r.top + (r.bottom - r.top - kCheckSize) / 2;
    return RECT{x, y, x + kCheckSize, y + kCheckSize};
}

// The check mark, 7 x 7, at the box's inside plus (1, 1).
const char* const kCheckMark[] = {"......X", ".....XX", "X...XXX", "XX.XXX.", "XXXXX..", ".XXX...", "..X...."};

void DrawCheckBox(HDC dc, const RECT& rect, UINT state) {
    RECT box = GlyphBox(rect);
    DrawEdge(dc, &box, EDGE_SUNKEN, EdgeFlags(state) | BF_ADJUST);
    const bool dimmed = (state & (DFCS_PUSHED | DFCS_INACTIVE)) != 0;
    FillSysColor(dc, box, dimmed ? COLOR_BTNFACE : COLOR_WINDOW);
    if (!(state & DFCS_CHECKED)) return;
    const bool grey = (state & (DFCS_INACTIVE | DFCS_BUTTON3STATE)) != 0;
    const COLORREF mark = GetSysColor(grey ? COLOR_BTNSHADOW : COLOR_BTNTEXT);
    PaintGlyph(dc, box.left + 1, box.top + 1, kCheckMark, 7, "X", &mark);
}

// a, b: the outer and inner rings' upper-left halves; c, d: the lower-right
// halves; w: the inside; x: the dot.
const char* const kRadio[] = {
    "....aaaa....", "..aabbbbaa..", ".abbwwwwbbd.", ".abwwwwwwcd.", "abwwwxxwwwcd", "abwwxxxxwwcd",
    "abwwxxxxwwcd", "abwwwxxwwwcd", ".abwwwwwwcd.", ".accwwwwccd.", "..ddccccdd..", "....dddd....",
};

void DrawRadio(HDC dc, const RECT& rect, UINT state) {
    const RECT box = GlyphBox(rect);
    const bool dimmed = (state & (DFCS_PUSHED | DFCS_INACTIVE)) != 0;
    const bool mono = (state & (DFCS_MONO | DFCS_FLAT)) != 0;
    const COLORREF inside = GetSysColor(dimmed ? COLOR_BTNFACE : COLOR_WINDOW);
    const COLORREF dot = state & DFCS_CHECKED ? GetSysColor(state & DFCS_INACTIVE ? COLOR_BTNSHADOW : COLOR_BTNTEXT)
                                              : inside;
    const COLORREF colors[] = {
        GetSysColor(mono ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW), GetSysColor(mono ? COLOR_WINDOWFRAME : COLOR_3DDKSHADOW),
        GetSysColor(mono ? COLOR_WINDOWFRAME : COLOR_3DLIGHT),   GetSysColor(mono ? COLOR_WINDOWFRAME : COLOR_BTNHIGHLIGHT),
        inside,                                                  dot,
    };
    PaintGlyph(dc, box.left, box.top, kRadio, 12, "abcdwx", colors);
}

void DrawPushButton(HDC dc, const RECT& rect, UINT state) {
    RECT r = rect;
    const UINT edge = state & (DFCS_PUSHED | DFCS_CHECKED) ? EDGE_SUNKEN : EDGE_RAISED;
    DrawEdge(dc, &r, edge, EdgeFlags(state) | BF_SOFT | BF_MIDDLE | BF_ADJUST);
}

// A solid triangle pointing in Direction (a DFCS_SCROLL value), centred in R.
void DrawArrow(HDC dc, const RECT& r, UINT direction, COLORREF color) {
    const int width = r.right - r.left, height = r.bottom - r.top;
    const int size = std::max(1, std::min(width, height) / 3); // rows of the triangle
    const int cx = r.left + width / 2, cy = r.top + height / 2;
    for (int i = 0; i < size; ++i) {
        // Row I from the tip: 2i + 1 pixels.
        const int along = i - size / 2;
        switch (direction) {
        case DFCS_SCROLLUP:
            FillColor(dc, RECT{cx - i - 1, cy + along - 1, cx + i, cy + along}, color);
            break;
        case DFCS_SCROLLDOWN:
        case DFCS_SCROLLCOMBOBOX:
            FillColor(dc, RECT{cx - i - 1, cy - along, cx + i, cy - along + 1}, color);
            break;
        case DFCS_SCROLLLEFT:
            FillColor(dc, RECT{cx + along - 1, cy - i - 1, cx + along, cy + i}, color);
            break;
        case DFCS_SCROLLRIGHT:
            FillColor(dc, RECT{cx - along, cy - i - 1, cx - along + 1, cy + i}, color);
            break;
        }
    }
}

void DrawScrollButton(HDC dc, const RECT& rect, UINT state) {
    RECT r = rect;
    const UINT direction = state & 0xF;
    if (state & DFCS_PUSHED) {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_FLAT | BF_MIDDLE | BF_ADJUST);
        r = RECT{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
    } else {
        DrawEdge(dc, &r, EDGE_RAISED, EdgeFlags(state) | BF_MIDDLE | BF_ADJUST);
    }
    if (state & DFCS_INACTIVE) {
        DrawArrow(dc, RECT{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1}, direction, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawArrow(dc, r, direction, GetSysColor(COLOR_BTNSHADOW));
    } else {
        DrawArrow(dc, r, direction, GetSysColor(COLOR_BTNTEXT));
    }
}

// Diagonal ridges from the bottom-right corner: shadow, shadow, highlight, gap.
void DrawSizeGrip(HDC dc, const RECT& r) {
    FillSysColor(dc, r, COLOR_BTNFACE);
    const int size = std::min(r.right - r.left, r.bottom - r.top);
    for (int y = r.bottom - size; y < r.bottom; ++y)
        for (int x = r.right - size; x < r.right; ++x) {
            const int t = (r.right - 1 - x) + (r.bottom - 1 - y);
            if (t < 1 || t >= size - 1) continue;
            const int phase = t % 4;
            if (phase == 0) continue;
            FillSysColor(dc, RECT{x, y, x + 1, y + 1}, phase == 3 ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
        }
}

} // namespace

BOOL DrawFrameControl(HDC dc, RECT* rect, UINT kind, UINT state) {
    if (!rect) return FALSE;
    if (kind == DFC_BUTTON) {
        if (state & DFCS_BUTTONPUSH) DrawPushButton(dc, *rect, state);
        else if (state & DFCS_BUTTONRADIO) DrawRadio(dc, *rect, state);
        else DrawCheckBox(dc, *rect, state);
        return TRUE;
    }
    if (kind == DFC_SCROLL) {
        if ((state & 0xF) == DFCS_SCROLLSIZEGRIP) DrawSizeGrip(dc, *rect);
        else DrawScrollButton(dc, *rect, state);
        return TRUE;
    }
    return FALSE;
}
