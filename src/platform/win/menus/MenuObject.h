#pragma once
// Menus behind their handles. Internal to the window system.

#include <vector>

#include "platform/rtl/String.h"
#include "platform/win/Constants.h"

struct TMenuEntry {
    UINT type = MFT_STRING; // MFT_ bits
    UINT state = 0;         // MFS_ bits
    UINT id = 0;
    HMENU submenu = nullptr;
    String text;
    ULONG_PTR data = 0;
    HBITMAP bitmap = nullptr; // MIIM_BITMAP, drawn beside the caption
    int image = -1;           // in the menu's image list

    bool Separator() const noexcept { return (type & MFT_SEPARATOR) != 0; }
    bool Disabled() const noexcept { return (state & MFS_GRAYED) != 0; }
    // The caption before a tab, the shortcut text after it.
    String Caption() const;
    String Shortcut() const;
    // The letter after a single '&', lower case; 0 for none.
    char16_t Mnemonic() const;
};

struct TMenuObject {
    bool popup = false; // made by CreatePopupMenu
    std::vector<TMenuEntry> items;
    HIMAGELIST images = nullptr;
    DWORD style = 0;
    UINT maxHeight = 0;
    HBRUSH background = nullptr;
    DWORD helpId = 0;
    ULONG_PTR data = 0;
};

// Null for null, stale and foreign handles (SetLastError: ERROR_INVALID_MENU_HANDLE
// for the ...OrError form).
TMenuObject* FindMenu(HMENU menu) noexcept;
TMenuObject* FindMenuOrError(HMENU menu) noexcept;

// An item found by command (searched depth first through submenus) or by position.
struct TMenuPlace {
    HMENU menu = nullptr;
    TMenuObject* object = nullptr;
    size_t index = 0;
    TMenuEntry* entry() const noexcept { return &object->items[index]; }
};
bool LocateItem(HMENU menu, UINT item, bool byPosition, TMenuPlace& place);
