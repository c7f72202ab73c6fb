// The window menu.
#include "platform/win/core/Tree.h"
#include "platform/win/menus/Menus.h"

HMENU GetSystemMenu(HWND hwnd, BOOL revert) {
    TWindow* w = LocalWindow(hwnd);
    if (!w) return nullptr;
    if (revert) {
        if (w->windowMenu) DestroyMenu(std::exchange(w->windowMenu, nullptr));
        return nullptr;
    }
    if (IsMenu(w->windowMenu)) return w->windowMenu;
    const HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, SC_RESTORE, u"还原(&R)");
    AppendMenuW(menu, MF_STRING, SC_MOVE, u"移动(&M)");
    AppendMenuW(menu, MF_STRING, SC_SIZE, u"大小(&S)");
    AppendMenuW(menu, MF_STRING, SC_MINIMIZE, u"最小化(&N)");
    AppendMenuW(menu, MF_STRING, SC_MAXIMIZE, u"最大化(&X)");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | MF_DEFAULT, SC_CLOSE, u"关闭(&C)\tAlt+F4");
    w->windowMenu = menu;
    return menu;
}
