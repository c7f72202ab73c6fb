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

// A popup's client area holds a raised edge and the items in columns. An
// item is, left to right: the gutter (check or image), a gap, the caption and
// the shortcut, and the submenu arrow's area.
constexpr int kPopupBorder = 3;
constexpr int kSeparatorHeight = 9;
constexpr int kCaptionLeftGap = 2;
constexpr int kSubmenuArrowArea = 16;

struct TPopupLayout {
    SIZE size{};                // the whole window
    std::vector<RECT> items;    // per item, window coordinates
    int gutter = 0;             // width of the check or image column left of the captions
    std::vector<int> barBreaks; // x of the lines between columns (MFT_MENUBARBREAK)
};
TPopupLayout LayoutPopup(const TMenuObject& menu);
// Where an item of the layout draws its caption and shortcut.
RECT PopupTextArea(const TPopupLayout& layout, const RECT& item);

// The items of a menu bar from the bar's left, one row.
std::vector<RECT> LayoutMenuBar(const TMenuObject& menu, const RECT& bar);

// Index of the item containing the point, -1 for none.
int ItemAt(const std::vector<RECT>& items, POINT pt);
