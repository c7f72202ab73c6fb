#include "platform/win/core/Tree.h"
#include "platform/win/toplevel/Defaults.h"
#include "platform/win/window/Windows.h"

namespace {

std::vector<HWND> OwnedBy(const TWindow* owner) {
    std::vector<HWND> owned;
    for (TWindow* t = CurrentQueue().tops.first; t; t = t->below)
        if (t->owner == owner) owned.push_back(t->handle);
    return owned;
}

} // namespace

void HideOwnedWindows(TWindow* owner) {
    for (HWND h : OwnedBy(owner)) {
        TWindow* t = LocalWindow(h);
        if (!t || !(t->style & WS_VISIBLE)) continue;
        t->hiddenWithOwner = true;
        Deliver(t, WM_SHOWWINDOW, FALSE, SW_PARENTCLOSING);
        SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void ShowOwnedWindows(TWindow* owner) {
    for (HWND h : OwnedBy(owner)) {
        TWindow* t = LocalWindow(h);
        if (!t || !t->hiddenWithOwner) continue;
        t->hiddenWithOwner = false;
        Deliver(t, WM_SHOWWINDOW, TRUE, SW_PARENTOPENING);
        SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
