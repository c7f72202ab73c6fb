#include "platform/win/controls/ScrollTarget.h"

#include "platform/win/nc/ScrollBars.h"

std::optional<int> ScrollTarget(HWND hwnd, int bar, WORD code, int pos, const TScrollSteps& steps) {
    switch (code) {
    case SB_LINEUP: return pos - steps.line;
    case SB_LINEDOWN: return pos + steps.line;
    case SB_PAGEUP: return pos - steps.page;
    case SB_PAGEDOWN: return pos + steps.page;
    case SB_TOP: return 0;
    case SB_BOTTOM: return steps.end;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(hwnd, bar, &info);
        return info.nTrackPos;
    }
    default: return std::nullopt;
    }
}
