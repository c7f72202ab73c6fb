// The menu bar in a window's frame.
#include "platform/win/menus/MenuBar.h"

#include "platform/win/core/Tree.h"
#include "platform/win/menus/MenuTracker.h"
#include "platform/win/menus/Menus.h"
#include "platform/win/nc/Frame.h"
#include "platform/win/paint/PaintInternal.h"
#include "platform/win/window/Windows.h"

namespace {

const TMenuObject* BarMenuOf(const TWindow* w) { return w->IsChild() ? nullptr : FindMenu(w->menu); }

// The bar and its items in window coordinates.
bool BarLayout(TWindow* w, RECT& bar, std::vector<RECT>& items) {
    const TMenuObject* menu = BarMenuOf(w);
    if (!menu) return false;
    bar = FrameLayoutOf(w).menu;
    if (bar.right <= bar.left || bar.bottom <= bar.top) return false;
    items = LayoutMenuBar(*menu, bar);
    return true;
}

} // namespace

std::vector<RECT> MenuBarItemsOnScreen(TWindow* w) {
    RECT bar;
    std::vector<RECT> items;
    if (!BarLayout(w, bar, items)) return {};
    const POINT origin = WindowOrigin(w);
    for (RECT& r : items) r = RECT{r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y};
    return items;
}

void PaintMenuBarOf(TWindow* w, HDC dc) {
    RECT bar;
    std::vector<RECT> items;
    if (!BarLayout(w, bar, items)) return;
    const TMenuBarState state = MenuBarStateOf(w);
    PaintMenuBar(dc, *BarMenuOf(w), bar, items, state.selected, state.look);
}

void RedrawMenuBar(TWindow* w) {
    const RECT bar = FrameLayoutOf(w).menu;
    if (bar.right <= bar.left || bar.bottom <= bar.top) return;
    TRegion area(bar);
    area.Offset(-w->client.left, -w->client.top);
    Invalidate(w, area, RDW_INVALIDATE | RDW_FRAME);
}

void DestroyWindowMenus(TWindow* w) {
    if (!w->IsChild() && w->menu) DestroyMenu(std::exchange(w->menu, nullptr));
    if (w->windowMenu) DestroyMenu(std::exchange(w->windowMenu, nullptr));
}

BOOL SetMenu(HWND hwnd, HMENU menu) {
    TWindow* w = LocalWindow(hwnd);
    if (!w || w->IsChild() || (menu && !FindMenuOrError(menu))) return FALSE;
    w->menu = menu;
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

HMENU GetMenu(HWND hwnd) {
    const TWindow* w = LocalWindow(hwnd);
    return w && !w->IsChild() ? w->menu : nullptr;
}

BOOL DrawMenuBar(HWND hwnd) {
    TWindow* w = LocalWindow(hwnd);
    if (!w || !BarMenuOf(w)) return FALSE;
    RedrawMenuBar(w);
    return TRUE;
}

BOOL GetMenuItemRect(HWND hwnd, HMENU menu, UINT item, RECT* rect) {
    if (!rect) return FALSE;
    if (TWindow* w = LocalWindow(hwnd); w && !w->IsChild() && w->menu == menu) {
        const std::vector<RECT> items = MenuBarItemsOnScreen(w);
        if (item >= items.size()) return FALSE;
        *rect = items[item];
        return TRUE;
    }
    return OpenPopupItemRect(menu, item, *rect);
}
