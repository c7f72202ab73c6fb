#pragma once
// Menus: menu handles and their items, the menu bar in a window's frame,
// popup menus tracked in a modal loop, the window menu and the built-in menu
// resources. Menus belong to the GUI thread.
//
// Items are addressed by command (MF_BYCOMMAND, searched through submenus as
// well) or by position (MF_BYPOSITION). An item's text may carry '&' before
// its mnemonic letter and, after a tab, a shortcut text drawn right-aligned.
// Item images come from the menu's image list (MENUINFO.hImageList with
// MIM_IMAGELIST) by the item's image index (MENUITEMINFOW.iImage with
// MIIM_IMAGE); disabled items show their image embossed.
//
// While a menu is tracked its owner window gets WM_ENTERMENULOOP, WM_INITMENU,
// WM_INITMENUPOPUP before each popup opens (the high word of lParam TRUE for
// the window menu), WM_MENUSELECT as the selection moves, WM_MENUCHAR for a
// letter no item answers, WM_ENTERIDLE (MSGF_MENU, the deepest popup's
// window) when nothing is left to do, and WM_EXITMENULOOP; TPM_NONOTIFY
// keeps these back. A choice is posted as WM_COMMAND with the item's id
// (WM_SYSCOMMAND for the window menu), or with TPM_RETURNCMD answered
// instead. A press outside every menu closes them all and reaches no window.

#include "platform/rtl/String.h"
#include "platform/win/Constants.h"

HMENU CreateMenu();
HMENU CreatePopupMenu();
// Destroys the submenus with it.
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);

// Flags: MF_STRING, MF_SEPARATOR or MF_POPUP (then Id is the submenu), with
// MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_MENUBREAK, MF_MENUBARBREAK, MF_DEFAULT.
BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR id, LPCWSTR text);
BOOL InsertMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCWSTR text);
BOOL InsertMenuItemW(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOW* info);
BOOL SetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOW* info);
// MIIM_STRING copies at most cch - 1 units and a null into dwTypeData and
// sets cch to the text's length (without a buffer only the length).
BOOL GetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOW* info);
// DeleteMenu destroys the item's submenu, RemoveMenu keeps it.
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
int GetMenuItemCount(HMENU menu);
// -1 for a submenu or a missing item.
UINT GetMenuItemID(HMENU menu, int position);
HMENU GetSubMenu(HMENU menu, int position);
// The MF_ flags of the item; for a submenu its item count in the high byte.
// -1 for a missing item.
UINT GetMenuState(HMENU menu, UINT id, UINT flags);
// The whole text (shortcut included), at most Max - 1 units and a null
// (never half a surrogate pair); answers the units copied. Without a buffer
// the text's length.
int GetMenuStringW(HMENU menu, UINT id, LPWSTR buffer, int max, UINT flags);
// Answer the previous state, -1 for a missing item.
UINT EnableMenuItem(HMENU menu, UINT id, UINT enable);
DWORD CheckMenuItem(HMENU menu, UINT id, UINT check);
BOOL SetMenuInfo(HMENU menu, const MENUINFO* info);
BOOL GetMenuInfo(HMENU menu, MENUINFO* info);

// The menu bar of a top-level window; setting it recalculates the frame.
BOOL SetMenu(HWND hwnd, HMENU menu);
HMENU GetMenu(HWND hwnd);
BOOL DrawMenuBar(HWND hwnd);
// An item of Hwnd's menu bar, or of a popup now open, in screen coordinates.
BOOL GetMenuItemRect(HWND hwnd, HMENU menu, UINT item, RECT* rect);

// Placed by the alignment flags at (X, Y) and moved to stay inside the work
// area of the monitor there: flipped to the other side of the point (or of
// Params' rcExclude) when it does not fit. Answers the chosen id with
// TPM_RETURNCMD (0 for none), else TRUE; FALSE while another menu is tracked.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND hwnd, const RECT* unused);
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND hwnd, const TPMPARAMS* params);
// Closes the menu being tracked as if cancelled.
BOOL EndMenu();

// The window menu (SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE,
// SC_CLOSE), one copy per window made on first request; Revert drops the copy
// and answers null. Its states follow the window when it opens (Alt+Space),
// before the owner's WM_INITMENUPOPUP may change them.
HMENU GetSystemMenu(HWND hwnd, BOOL revert);

// Menus of the built-in modules: menu 1 of "user32" is the system's edit
// menu, whose first submenu holds undo, cut, copy, paste, delete and select all
// (WM_UNDO, WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR, EM_SETSEL); the standard
// controls register it when the window system starts.
HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name);
// Makes menu Id of built-in Module (by name, as GetModuleHandleW knows it)
// with Make whenever it is loaded. Registered by the window system's start-up
// units.
void RegisterBuiltinMenu(const String& module, WORD id, HMENU (*make)());
