// Files dropped on windows that accept them, for drops no target takes.

#include "platform/win/User.h"
#include "platform/win/dataxfer/DropFiles.h"
#include "platform/win/dataxfer/DropRegistry.h"

HWND FindFilesAcceptingWindow(HWND deepest) {
    for (HWND h = deepest; h && IsWindow(h);) {
        if (GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) return h;
        if (!(GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD)) break;
        h = GetAncestor(h, GA_PARENT);
    }
    return nullptr;
}

bool PostDroppedFiles(HWND window, const std::vector<String>& names, POINT screenPoint) {
    POINT client = screenPoint;
    RECT area{};
    if (!ScreenToClient(window, &client) || !GetClientRect(window, &area)) return false;
    const bool inside = client.x >= area.left && client.x < area.right && client.y >= area.top && client.y < area.bottom;
    HDROP drop = CreateDropFilesHandle(names, client, !inside);
    if (!drop) return false;
    if (PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0)) return true;
    DragFinish(drop);
    return false;
}
