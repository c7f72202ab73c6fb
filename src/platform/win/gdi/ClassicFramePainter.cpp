#include "platform/win/gdi/ClassicFramePainter.h"

#include <algorithm>

#include "platform/win/gdi/Blit.h"
#include "platform/win/gdi/Edges.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/system/SystemColors.h"

namespace {

bool Empty(const RECT& r) noexcept { return r.left >= r.right || r.top >= r.bottom; }

// Button face and highlight alternating pixel by pixel.
void FillTrack(HDC handle, const RECT& r, bool pressed) {
    if (Empty(r)) return;
    TDc* dc = DcOf(handle);
    if (!dc) return;
    TPattern pattern = SolidPattern(*dc, GetSysColor(COLOR_3DDKSHADOW));
    if (!pressed) {
        const TPattern face = SolidPattern(*dc, GetSysColor(COLOR_BTNFACE));
        const TPattern light = SolidPattern(*dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        pattern.solid = false;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) pattern.pixels[y * 8 + x] = (x + y) & 1 ? light.color : face.color;
    }
    FillDevice(*dc, dc->ToDevice(r), pattern, TRop::PatCopy);
}

UINT ArrowState(bool enabled, bool pressed) {
    if (!enabled) return DFCS_INACTIVE;
    return pressed ? DFCS_PUSHED : 0;
}

class TClassicFramePainter : public IFramePainter {
public:
    void PaintFrame(HDC dc, const TFrameLook& look) override {
        RECT r = look.window;
        if (look.border) {
            FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
            r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        }
        if (look.dialogFrame || look.thickFrame) {
            DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
            FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
            r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        }
        if (look.staticEdge) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        if (look.clientEdge) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        if (look.hasVertical) PaintScrollBar(dc, look.vertical);
        if (look.hasHorizontal) PaintScrollBar(dc, look.horizontal);
        if (!Empty(look.sizeBox)) FillSysColor(dc, look.sizeBox, COLOR_BTNFACE);
    }

    void PaintScrollBar(HDC dc, const TScrollBarLook& look) override {
        const RECT& bar = look.bar;
        if (Empty(bar)) return;
        const int length = look.vertical ? bar.bottom - bar.top : bar.right - bar.left;
        const int thickness = look.vertical ? bar.right - bar.left : bar.bottom - bar.top;
        const int button = std::min(thickness, length / 2);
        RECT up, down, track;
        if (look.vertical) {
            up = RECT{bar.left, bar.top, bar.right, bar.top + button};
            down = RECT{bar.left, bar.bottom - button, bar.right, bar.bottom};
            track = RECT{bar.left, up.bottom, bar.right, down.top};
        } else {
            up = RECT{bar.left, bar.top, bar.left + button, bar.bottom};
            down = RECT{bar.right - button, bar.top, bar.right, bar.bottom};
            track = RECT{up.right, bar.top, down.left, bar.bottom};
        }
        const UINT upArrow = look.vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT;
        const UINT downArrow = look.vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT;
        DrawFrameControl(dc, &up, DFC_SCROLL,
                         upArrow | ArrowState(look.enabled && look.lineUpEnabled, look.pressed == TScrollBarPart::LineUp));
        DrawFrameControl(dc, &down, DFC_SCROLL,
                         downArrow |
                             ArrowState(look.enabled && look.lineDownEnabled, look.pressed == TScrollBarPart::LineDown));
        if (Empty(track)) return;
        const bool thumb = look.enabled && !Empty(look.thumb);
        if (!thumb) {
            FillTrack(dc, track, false);
            return;
        }
        // The track before and after the thumb, darkened while paged.
        RECT before = track, after = track;
        if (look.vertical) {
            before.bottom = look.thumb.top;
            after.top = look.thumb.bottom;
        } else {
            before.right = look.thumb.left;
            after.left = look.thumb.right;
        }
        FillTrack(dc, before, look.pressed == TScrollBarPart::PageUp);
        FillTrack(dc, after, look.pressed == TScrollBarPart::PageDown);
        RECT knob = look.thumb;
        DrawEdge(dc, &knob, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    }
};

} // namespace

std::shared_ptr<IFramePainter> ClassicFramePainter() { return std::make_shared<TClassicFramePainter>(); }
