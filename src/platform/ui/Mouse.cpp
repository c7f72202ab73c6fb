#include "platform/ui/Mouse.h"

#include "platform/ui/WinGeometry.h"
#include "platform/win/input/Input.h"
#include "platform/win/system/SystemMetrics.h"

HWND TMouse::Capture() const { return GetCapture(); }

void TMouse::SetCapture(HWND hwnd) {
    if (hwnd == GetCapture()) return;
    if (hwnd)
        ::SetCapture(hwnd);
    else
        ReleaseCapture();
}

TPoint TMouse::CursorPos() const {
    POINT pt{};
    GetCursorPos(&pt);
    return ToTPoint(pt);
}

void TMouse::SetCursorPos(const TPoint& point) { ::SetCursorPos(point.X, point.Y); }

int TMouse::DragThreshold() const { return dragThreshold_.value_or(GetSystemMetrics(SM_CXDRAG)); }

int TMouse::WheelScrollLines() const {
    UINT lines = 0;
    return SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0) ? static_cast<int>(lines) : 3;
}

TMouse& Mouse() {
    static TMouse mouse;
    return mouse;
}
