#include "platform/win/controls/ControlWindow.h"

#include <mutex>
#include <unordered_map>

namespace {

std::mutex targetsMutex;
std::unordered_map<HWND, HWND> targets;

} // namespace

HWND NotifyTarget(HWND control) {
    if (GetWindowLongPtrW(control, GWL_STYLE) & WS_CHILD) return GetParent(control);
    {
        std::lock_guard lock(targetsMutex);
        if (auto it = targets.find(control); it != targets.end()) return it->second;
    }
    return reinterpret_cast<HWND>(GetWindowLongPtrW(control, GWLP_HWNDPARENT));
}

void SetNotifyTarget(HWND popup, HWND target) {
    std::lock_guard lock(targetsMutex);
    if (target)
        targets[popup] = target;
    else
        targets.erase(popup);
}

void NotifyParent(HWND control, WORD code) {
    const HWND target = NotifyTarget(control);
    if (!target) return;
    const WORD id = WORD(GetWindowLongPtrW(control, GWLP_ID));
    SendMessageW(target, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

LRESULT SendNotify(HWND control, UINT code, NMHDR& header) {
    header.hwndFrom = control;
    header.idFrom = UINT_PTR(GetDlgCtrlID(control));
    header.code = code;
    const HWND target = NotifyTarget(control);
    return target ? SendMessageW(target, WM_NOTIFY, WPARAM(header.idFrom), reinterpret_cast<LPARAM>(&header)) : 0;
}

HBRUSH ControlColorBrush(HWND control, HDC dc, UINT message) {
    const HWND target = NotifyTarget(control);
    const WPARAM w = reinterpret_cast<WPARAM>(dc);
    const LPARAM l = reinterpret_cast<LPARAM>(control);
    LRESULT brush = target ? SendMessageW(target, message, w, l) : 0;
    if (!brush) brush = DefWindowProcW(control, message, w, l);
    return reinterpret_cast<HBRUSH>(brush);
}
