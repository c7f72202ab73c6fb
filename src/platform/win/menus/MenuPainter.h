#pragma once
// Drawing popup menus and menu bars: separators, check marks, radio bullets
// and submenu arrows in shapes of our own, disabled items embossed in grey,
// the default item in bold, shortcuts right-aligned, and item images from the
// menu's image list. Internal to the window system.

#include <vector>

#include "platform/win/menus/MenuLayout.h"

// The whole popup window, its hot item highlighted (-1 for none).
void PaintPopup(HDC dc, const TMenuObject& menu, const TPopupLayout& layout, int hot);

enum class TBarItemLook { Normal, Hot, Pressed };
// The bar's background and items; Look applies to item Selected.
void PaintMenuBar(HDC dc, const TMenuObject& menu, const RECT& bar, const std::vector<RECT>& items, int selected,
                  TBarItemLook look);
