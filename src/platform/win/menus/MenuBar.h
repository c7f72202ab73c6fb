#pragma once
// The menu bar in a window's frame, for the non-client model and the
// tracker. Internal to the window system.

#include <vector>

#include "platform/win/core/Window.h"

// W's menu bar items in screen coordinates; empty without a menu bar.
std::vector<RECT> MenuBarItemsOnScreen(TWindow* w);
// Draws W's menu bar into a context with window coordinates (WM_NCPAINT,
// WM_PRINT); nothing for a window without a menu of ours.
void PaintMenuBarOf(TWindow* w, HDC dc);
// Invalidates the bar's part of the frame.
void RedrawMenuBar(TWindow* w);
// Destroys the menu bar and the window menu of a window being destroyed.
void DestroyWindowMenus(TWindow* w);
