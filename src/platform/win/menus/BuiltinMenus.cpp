// Menu resources of the built-in modules.
#include "platform/win/controls/ControlConstants.h"
#include "platform/win/controls/ControlTexts.h"
#include "platform/win/menus/Menus.h"
#include "platform/win/system/Modules.h"
#include "platform/win/window/Windows.h"

namespace {

// "user32" menu 1: the system's edit menu.
HMENU EditMenu() {
    const HMENU edit = CreatePopupMenu();
    AppendMenuW(edit, MF_STRING, WM_UNDO, LoadResString(SEditUndo).c_str());
    AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(edit, MF_STRING, WM_CUT, LoadResString(SEditCut).c_str());
    AppendMenuW(edit, MF_STRING, WM_COPY, LoadResString(SEditCopy).c_str());
    AppendMenuW(edit, MF_STRING, WM_PASTE, LoadResString(SEditPaste).c_str());
    AppendMenuW(edit, MF_STRING, WM_CLEAR, LoadResString(SEditDelete).c_str());
    AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(edit, MF_STRING, EM_SETSEL, LoadResString(SEditSelectAll).c_str());
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
