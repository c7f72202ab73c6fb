#pragma once
// Where the items of a popup menu and of a menu bar lie, measured with the
// menu font. Internal to the window system.

#include <vector>

#include "platform/win/menus/MenuObject.h"

// The menu font and its bold form (the default item), made for one use.
class TMenuFonts {
public:
    TMenuFonts();
    ~TMenuFonts();
    TMenuFonts(const TMenuFonts&) = delete;
    TMenuFonts& operator=(const TMenuFonts&) = delete;
    HFONT Normal() const noexcept { return normal_; }
    HFONT Bold() const noexcept { return bold_; }
    HFONT For(const TMenuEntry& entry) const noexcept { return entry.state & MFS_DEFAULT ? bold_ : normal_; }

private:
    HFONT normal_ = nullptr, bold_ = nullptr;
};

// A popup's client area holds a raised edge and the items in columns.
constexpr int kPopupBorder = 3;
constexpr int kSeparatorHeight = 9;
constexpr int kSubmenuArrowArea = 16;

struct TPopupLayout {
    SIZE size{};                // the whole window
    std::vector<RECT> items;    // per item, window coordinates
    int gutter = 0;             // width of the check or image column left of the captions
    std::vector<int> barBreaks; // x of the lines between columns (MFT_MENUBARBREAK)
};
TPopupLayout LayoutPopup(const TMenuObject& menu);

// The items of a menu bar from the bar's left, one row.
std::vector<RECT> LayoutMenuBar(const TMenuObject& menu, const RECT& bar);

// Index of the item containing the point, -1 for none.
int ItemAt(const std::vector<RECT>& items, POINT pt);
