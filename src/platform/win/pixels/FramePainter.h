#pragma once
// The look of a window's non-client area, handed to the painter that draws it
// (WM_NCPAINT, WM_PRINT with PRF_NONCLIENT) and of scroll-bar controls. The
// frame model computes what lies where; the painter only draws it
// (nc/CurrentFramePainter.h says which painter draws).

#include "platform/win/Types.h"

enum class TScrollBarPart { None, LineUp, LineDown, PageUp, PageDown, Thumb };

struct TScrollBarLook {
    bool vertical = true;
    RECT bar{};   // the whole bar, in the coordinates of the DC handed over
    RECT thumb{}; // empty: no thumb (no room, or nothing to scroll)
    bool enabled = true;
    bool lineUpEnabled = true, lineDownEnabled = true; // ESB_DISABLE_LTUP / _RTDN
    TScrollBarPart pressed = TScrollBarPart::None;     // while the pointer tracks it
};

struct TFrameLook {
    RECT window{};     // the whole window, window coordinates (left and top 0)
    RECT client{};     // the client area, window coordinates
    bool border = false;     // WS_BORDER: one black line
    bool dialogFrame = false; // WS_DLGFRAME or WS_THICKFRAME of an undecorated window
    bool thickFrame = false;
    bool staticEdge = false; // WS_EX_STATICEDGE
    bool clientEdge = false; // WS_EX_CLIENTEDGE
    bool hasVertical = false, hasHorizontal = false;
    TScrollBarLook vertical, horizontal;
    RECT sizeBox{}; // where both bars meet; empty without both
};

class IFramePainter {
public:
    virtual ~IFramePainter() = default;
    // DC: a window DC (window coordinates) clipped to what needs drawing.
    virtual void PaintFrame(HDC dc, const TFrameLook& look) = 0;
    virtual void PaintScrollBar(HDC dc, const TScrollBarLook& look) = 0;
};
