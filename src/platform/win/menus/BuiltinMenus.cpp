// Menu resources of the built-in modules.
#include <vector>

#include "platform/win/core/System.h"
#include "platform/win/menus/Menus.h"
#include "platform/win/system/Modules.h"
#include "platform/win/window/Windows.h"

namespace {

struct TBuiltinMenu {
    String module;
    WORD id;
    HMENU (*make)();
};

std::vector<TBuiltinMenu>& BuiltinMenus() {
    static std::vector<TBuiltinMenu> menus;
    return menus;
}

} // namespace

void RegisterBuiltinMenu(const String& module, WORD id, HMENU (*make)()) {
    BuiltinMenus().push_back({module, id, make});
}

HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name) {
    WindowSystem(); // its start-up registers the menus
    if (instance && IS_INTRESOURCE(name))
        for (const TBuiltinMenu& menu : BuiltinMenus())
            if (instance == GetModuleHandleW(menu.module.c_str()) && name == MAKEINTRESOURCEW(menu.id))
                return menu.make();
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}
