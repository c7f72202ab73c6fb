#pragma once
// Tracking menus: each open popup is a window of its own, shown without
// activation; a modal loop holding the pointer moves the selection with the
// mouse and the keyboard until an item is chosen or the menu is left. One menu
// is tracked at a time. Internal to the window system.

#include "platform/win/core/Window.h"
#include "platform/win/menus/MenuPainter.h"

// TrackPopupMenuEx: the chosen id (0 for none), -1 when it cannot start.
int TrackPopup(HMENU menu, UINT flags, POINT pt, HWND owner, const RECT* exclude);

// SC_KEYMENU: Key 0 (Alt or F10) selects the first item of the window's menu
// bar, ' ' opens the window menu, a letter opens the bar item it names.
void TrackMenuKey(TWindow* w, char16_t key);
// SC_MOUSEMENU: a press on the menu bar at the screen point opens its item.
void TrackMenuBarPress(TWindow* w, POINT pt);

// How the tracker shows W's menu bar: the selected item (-1 for none) and
// whether its popup is open.
struct TMenuBarState {
    int selected = -1;
    TBarItemLook look = TBarItemLook::Normal;
};
TMenuBarState MenuBarStateOf(const TWindow* w);

// Item Position of an open popup of Menu, in screen coordinates.
bool OpenPopupItemRect(HMENU menu, UINT position, RECT& rect);

// Ends the tracking as cancelled; false when nothing is tracked.
bool CancelMenuTracking();
