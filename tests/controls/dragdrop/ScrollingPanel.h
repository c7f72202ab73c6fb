#pragma once
// A panel with a vertical scroll bar over 0..100 (page 10) that scrolls a
// line for each WM_VSCROLL line code and counts the lines.

#include "platform/ui/ControlFixture.h"
#include "platform/win/User.h"

class TScrollingTestPanel : public TTestPanel {
public:
    using TTestPanel::TTestPanel;

    int Position() { return GetScrollPos(Handle(), SB_VERT); }
    void SetPosition(int position) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMin = 0;
        info.nMax = 100;
        info.nPage = 10;
        info.nPos = position;
        SetScrollInfo(Handle(), SB_VERT, &info, FALSE);
    }

    int linesScrolled = 0;

protected:
    void CreateParams(TCreateParams& params) override {
        TTestPanel::CreateParams(params);
        params.Style |= WS_VSCROLL;
    }
    void WndProc(TMessage& m) override {
        if (m.Msg == WM_VSCROLL && (LOWORD(m.WParam) == SB_LINEUP || LOWORD(m.WParam) == SB_LINEDOWN)) {
            ++linesScrolled;
            SetPosition(Position() + (LOWORD(m.WParam) == SB_LINEUP ? -1 : 1));
            return;
        }
        TTestPanel::WndProc(m);
    }
};
