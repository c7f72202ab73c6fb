// Menu resources of the built-in modules.
#include "platform/win/menus/Menus.h"
#include "platform/win/system/Modules.h"
#include "platform/win/window/Windows.h"

namespace {

// "user32" menu 1: the system's edit menu.
HMENU EditMenu() {
    const HMENU edit = CreatePopupMenu();
    AppendMenuW(edit, MF_STRING, WM_UNDO, u"撤销(&U)");
    AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(edit, MF_STRING, WM_CUT, u"剪切(&T)");
    AppendMenuW(edit, MF_STRING, WM_COPY, u"复制(&C)");
    AppendMenuW(edit, MF_STRING, WM_PASTE, u"粘贴(&P)");
    AppendMenuW(edit, MF_STRING, WM_CLEAR, u"删除(&D)");
    AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(edit, MF_STRING, EM_SETSEL, u"全选(&A)");
    const HMENU menu = CreateMenu();
    AppendMenuW(menu, MF_POPUP, UINT_PTR(edit), u"");
    return menu;
}

} // namespace

HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name) {
    if (instance && instance == GetModuleHandleW(u"user32") && name == MAKEINTRESOURCEW(1)) return EditMenu();
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}
