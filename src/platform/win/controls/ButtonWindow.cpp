#include "platform/win/controls/StandardControls.h"
#include "platform/win/window/Windows.h"

LRESULT ButtonWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
