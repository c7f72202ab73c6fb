// Menu handles and their items.
#include <algorithm>
#include <memory>
#include <mutex>

#include "platform/win/core/HandleTable.h"
#include "platform/win/core/Queue.h"
#include "platform/win/core/Tree.h"
#include "platform/win/menus/MenuObject.h"
#include "platform/win/menus/Menus.h"

namespace {

struct TMenuTable {
    std::mutex lock;
    THandleTable<TMenuObject, HMENU> table;
};

TMenuTable& Menus() {
    static auto* table = new TMenuTable;
    return *table;
}

HMENU AddMenu(bool popup) {
    auto menu = std::make_unique<TMenuObject>();
    menu->popup = popup;
    TMenuTable& menus = Menus();
    std::lock_guard guard(menus.lock);
    return menus.table.Add(menu.release(), &CurrentQueue());
}

bool LocateByCommand(HMENU handle, UINT id, TMenuPlace& place, int depth) {
    TMenuObject* menu = FindMenu(handle);
    if (!menu || depth > 64) return false;
    for (size_t i = 0; i < menu->items.size(); ++i) {
        const TMenuEntry& entry = menu->items[i];
        if (entry.submenu && LocateByCommand(entry.submenu, id, place, depth + 1)) return true;
        if (!entry.submenu && entry.id == id) {
            place = TMenuPlace{handle, menu, i};
            return true;
        }
    }
    return false;
}

// MF_ flags as an item's type and state.
void ApplyFlags(TMenuEntry& entry, UINT flags, UINT_PTR id, LPCWSTR text) {
    entry.type = flags & (MFT_SEPARATOR | MFT_MENUBREAK | MFT_MENUBARBREAK | MFT_RADIOCHECK | MFT_RIGHTJUSTIFY);
    entry.state = flags & (MFS_GRAYED | MFS_CHECKED | MFS_HILITE | MFS_DEFAULT);
    if (flags & MF_POPUP) {
        entry.submenu = reinterpret_cast<HMENU>(id);
        entry.id = 0;
    } else {
        entry.submenu = nullptr;
        entry.id = UINT(id);
    }
    entry.text = !(flags & MF_SEPARATOR) && text ? String(text) : String();
}

bool ValidFlags(UINT flags, UINT_PTR id) {
    return !(flags & MF_POPUP) || FindMenu(reinterpret_cast<HMENU>(id));
}

void ApplyInfo(TMenuEntry& entry, const MENUITEMINFOW& info) {
    if (info.fMask & MIIM_TYPE) {
        entry.type = info.fType;
        entry.text = !(info.fType & (MFT_SEPARATOR | MFT_BITMAP)) && info.dwTypeData ? String(info.dwTypeData) : String();
    }
    if (info.fMask & MIIM_FTYPE) entry.type = info.fType;
    if (info.fMask & MIIM_STRING) entry.text = info.dwTypeData ? String(info.dwTypeData) : String();
    if (info.fMask & MIIM_STATE) entry.state = info.fState;
    if (info.fMask & MIIM_ID) entry.id = info.wID;
    if (info.fMask & MIIM_SUBMENU) entry.submenu = info.hSubMenu;
    if (info.fMask & MIIM_DATA) entry.data = info.dwItemData;
    if (info.fMask & MIIM_BITMAP) entry.bitmap = info.hbmpItem;
    if (info.fMask & MIIM_IMAGE) entry.image = info.iImage;
}

bool Insert(HMENU handle, UINT item, bool byPosition, TMenuEntry entry) {
    TMenuObject* menu = FindMenuOrError(handle);
    if (!menu) return false;
    size_t index = menu->items.size();
    if (byPosition) {
        index = std::min<size_t>(item, menu->items.size());
    } else if (item != UINT(-1)) {
        TMenuPlace place;
        if (LocateItem(handle, item, false, place)) {
            place.object->items.insert(place.object->items.begin() + ptrdiff_t(place.index), std::move(entry));
            return true;
        }
    }
    menu->items.insert(menu->items.begin() + ptrdiff_t(index), std::move(entry));
    return true;
}

BOOL Detach(HMENU menu, UINT position, UINT flags, bool destroySubmenu) {
    TMenuPlace place;
    if (!LocateItem(menu, position, flags & MF_BYPOSITION, place)) return FALSE;
    const HMENU submenu = place.entry()->submenu;
    place.object->items.erase(place.object->items.begin() + ptrdiff_t(place.index));
    if (destroySubmenu && submenu) DestroyMenu(submenu);
    return TRUE;
}

UINT StateFlags(const TMenuEntry& entry) {
    UINT flags = entry.type | entry.state;
    if (entry.submenu) {
        const TMenuObject* sub = FindMenu(entry.submenu);
        flags = (flags & 0xFF) | MF_POPUP | UINT(sub ? std::min<size_t>(sub->items.size(), 0xFF) : 0) << 8;
    }
    return flags;
}

} // namespace

String TMenuEntry::Caption() const {
    const size_t tab = text.find(u'\t');
    return tab == String::npos ? text : text.substr(0, tab);
}

String TMenuEntry::Shortcut() const {
    const size_t tab = text.find(u'\t');
    return tab == String::npos ? String() : text.substr(tab + 1);
}

char16_t TMenuEntry::Mnemonic() const {
    const String caption = Caption();
    for (size_t i = 0; i + 1 < caption.size(); ++i)
        if (caption[i] == u'&') {
            const char16_t c = caption[++i];
            if (c != u'&') return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
        }
    return 0;
}

TMenuObject* FindMenu(HMENU menu) noexcept { return Menus().table.FindOwned(menu, CurrentQueueIfAny()); }

TMenuObject* FindMenuOrError(HMENU menu) noexcept {
    TMenuObject* object = FindMenu(menu);
    if (!object) SetError(ERROR_INVALID_MENU_HANDLE);
    return object;
}

bool LocateItem(HMENU menu, UINT item, bool byPosition, TMenuPlace& place) {
    TMenuObject* object = FindMenuOrError(menu);
    if (!object) return false;
    if (!byPosition) return LocateByCommand(menu, item, place, 0);
    if (item >= object->items.size()) return false;
    place = TMenuPlace{menu, object, item};
    return true;
}

HMENU CreateMenu() { return AddMenu(false); }

HMENU CreatePopupMenu() { return AddMenu(true); }

BOOL DestroyMenu(HMENU handle) {
    TMenuObject* menu = FindMenuOrError(handle);
    if (!menu) return FALSE;
    {
        TMenuTable& menus = Menus();
        std::lock_guard guard(menus.lock);
        menus.table.Remove(handle);
    }
    const std::unique_ptr<TMenuObject> owned(menu);
    for (const TMenuEntry& entry : menu->items)
        if (entry.submenu && entry.submenu != handle) DestroyMenu(entry.submenu);
    return TRUE;
}

BOOL IsMenu(HMENU menu) { return FindMenu(menu) != nullptr; }

BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR id, LPCWSTR text) {
    return InsertMenuW(menu, UINT(-1), flags | MF_BYPOSITION, id, text);
}

BOOL InsertMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCWSTR text) {
    if (!ValidFlags(flags, id)) return FALSE;
    TMenuEntry entry;
    ApplyFlags(entry, flags, id, text);
    return Insert(menu, position, flags & MF_BYPOSITION, std::move(entry));
}

BOOL InsertMenuItemW(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOW* info) {
    if (!info || ((info->fMask & MIIM_SUBMENU) && info->hSubMenu && !FindMenu(info->hSubMenu))) return FALSE;
    TMenuEntry entry;
    ApplyInfo(entry, *info);
    return Insert(menu, item, byPosition, std::move(entry));
}

BOOL SetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOW* info) {
    TMenuPlace place;
    if (!info || !LocateItem(menu, item, byPosition, place)) return FALSE;
    if ((info->fMask & MIIM_SUBMENU) && info->hSubMenu && !FindMenu(info->hSubMenu)) return FALSE;
    ApplyInfo(*place.entry(), *info);
    return TRUE;
}

BOOL GetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOW* info) {
    TMenuPlace place;
    if (!info || !LocateItem(menu, item, byPosition, place)) return FALSE;
    const TMenuEntry& entry = *place.entry();
    if (info->fMask & (MIIM_FTYPE | MIIM_TYPE)) info->fType = entry.type;
    if (info->fMask & MIIM_STATE) info->fState = entry.state;
    if (info->fMask & MIIM_ID) info->wID = entry.id;
    if (info->fMask & MIIM_SUBMENU) info->hSubMenu = entry.submenu;
    if (info->fMask & MIIM_DATA) info->dwItemData = entry.data;
    if (info->fMask & MIIM_BITMAP) info->hbmpItem = entry.bitmap;
    if (info->fMask & MIIM_IMAGE) info->iImage = entry.image;
    if (info->fMask & (MIIM_STRING | MIIM_TYPE)) {
        if (info->dwTypeData && info->cch > 0)
            GetMenuStringW(place.menu, UINT(place.index), info->dwTypeData, int(info->cch), MF_BYPOSITION);
        info->cch = UINT(entry.text.Length());
    }
    return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) { return Detach(menu, position, flags, true); }

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) { return Detach(menu, position, flags, false); }

int GetMenuItemCount(HMENU handle) {
    const TMenuObject* menu = FindMenuOrError(handle);
    return menu ? int(menu->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
    TMenuPlace place;
    if (position < 0 || !LocateItem(menu, UINT(position), true, place) || place.entry()->submenu) return UINT(-1);
    return place.entry()->id;
}

HMENU GetSubMenu(HMENU menu, int position) {
    TMenuPlace place;
    if (position < 0 || !LocateItem(menu, UINT(position), true, place)) return nullptr;
    return place.entry()->submenu;
}

UINT GetMenuState(HMENU menu, UINT id, UINT flags) {
    TMenuPlace place;
    if (!LocateItem(menu, id, flags & MF_BYPOSITION, place)) return UINT(-1);
    return StateFlags(*place.entry());
}

int GetMenuStringW(HMENU menu, UINT id, LPWSTR buffer, int max, UINT flags) {
    TMenuPlace place;
    if (!LocateItem(menu, id, flags & MF_BYPOSITION, place)) return 0;
    const String& text = place.entry()->text;
    if (!buffer || max <= 0) return buffer ? 0 : text.Length();
    int length = std::min(text.Length(), max - 1);
    if (length > 0 && length < text.Length() && text[length - 1] >= 0xD800 && text[length - 1] < 0xDC00) --length;
    std::copy_n(text.c_str(), length, buffer);
    buffer[length] = 0;
    return length;
}

UINT EnableMenuItem(HMENU menu, UINT id, UINT enable) {
    TMenuPlace place;
    if (!LocateItem(menu, id, enable & MF_BYPOSITION, place)) return UINT(-1);
    UINT& state = place.entry()->state;
    const UINT previous = state & MFS_GRAYED;
    state = (state & ~MFS_GRAYED) | (enable & MFS_GRAYED);
    return previous;
}

DWORD CheckMenuItem(HMENU menu, UINT id, UINT check) {
    TMenuPlace place;
    if (!LocateItem(menu, id, check & MF_BYPOSITION, place)) return DWORD(-1);
    UINT& state = place.entry()->state;
    const DWORD previous = state & MFS_CHECKED;
    state = (state & ~MFS_CHECKED) | (check & MF_CHECKED);
    return previous;
}

BOOL SetMenuInfo(HMENU handle, const MENUINFO* info) {
    TMenuObject* menu = FindMenuOrError(handle);
    if (!menu || !info) return FALSE;
    if (info->fMask & MIM_STYLE) menu->style = info->dwStyle;
    if (info->fMask & MIM_MAXHEIGHT) menu->maxHeight = info->cyMax;
    if (info->fMask & MIM_BACKGROUND) menu->background = info->hbrBack;
    if (info->fMask & MIM_HELPID) menu->helpId = info->dwContextHelpID;
    if (info->fMask & MIM_MENUDATA) menu->data = info->dwMenuData;
    if (info->fMask & MIM_IMAGELIST) menu->images = info->hImageList;
    if (info->fMask & MIM_APPLYTOSUBMENUS) {
        for (const TMenuEntry& entry : menu->items)
            if (entry.submenu && entry.submenu != handle) SetMenuInfo(entry.submenu, info);
    }
    return TRUE;
}

BOOL GetMenuInfo(HMENU handle, MENUINFO* info) {
    const TMenuObject* menu = FindMenuOrError(handle);
    if (!menu || !info) return FALSE;
    if (info->fMask & MIM_STYLE) info->dwStyle = menu->style;
    if (info->fMask & MIM_MAXHEIGHT) info->cyMax = menu->maxHeight;
    if (info->fMask & MIM_BACKGROUND) info->hbrBack = menu->background;
    if (info->fMask & MIM_HELPID) info->dwContextHelpID = menu->helpId;
    if (info->fMask & MIM_MENUDATA) info->dwMenuData = menu->data;
    if (info->fMask & MIM_IMAGELIST) info->hImageList = menu->images;
    return TRUE;
}
