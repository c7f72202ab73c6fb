// The "ToolbarWindow32" class.

#include "platform/win/User.h"
#include "platform/win/controls/StandardControls.h"

LRESULT ToolBarWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
