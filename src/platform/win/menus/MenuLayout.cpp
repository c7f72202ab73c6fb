#include "platform/win/menus/MenuLayout.h"

#include <algorithm>

#include "platform/win/gdi/Gdi.h"
#include "platform/win/imagelist/ImageList.h"
#include "platform/win/system/SystemMetrics.h"
#include "platform/win/text/Text.h"

namespace {

constexpr int kGutterPadding = 4;     // each side of the check or image column
constexpr int kShortcutGap = 16;      // between the widest caption and the shortcuts
constexpr int kBarItemPadding = 7;    // each side of a bar item's caption
constexpr int kItemExtraHeight = 6;   // above and below the text of an item

// A measuring context with the fonts at hand.
class TMeasure {
public:
    TMeasure() : dc_(CreateCompatibleDC(nullptr)) {}
    ~TMeasure() {
        if (previous_) SelectObject(dc_, previous_);
        DeleteDC(dc_);
    }
    TMeasure(const TMeasure&) = delete;
    TMeasure& operator=(const TMeasure&) = delete;

    SIZE Text(HFONT font, const String& text, bool prefix) {
        const HGDIOBJ old = SelectObject(dc_, ToGdiObject(font));
        if (!previous_) previous_ = old;
        RECT r{0, 0, 0, 0};
        if (!text.IsEmpty())
            DrawTextW(dc_, text.c_str(), text.Length(), &r, DT_CALCRECT | DT_SINGLELINE | (prefix ? 0 : DT_NOPREFIX));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc_, &metrics);
        return SIZE{r.right - r.left, metrics.tmHeight};
    }

private:
    HDC dc_;
    HGDIOBJ previous_ = nullptr;
};

SIZE ImageSize(const TMenuObject& menu) {
    SIZE size{};
    int width = 0, height = 0;
    if (menu.images && ImageList_GetIconSize(menu.images, &width, &height)) size = SIZE{width, height};
    for (const TMenuEntry& entry : menu.items) {
        BITMAP bm{};
        if (entry.bitmap && GetObjectW(ToGdiObject(entry.bitmap), sizeof bm, &bm))
            size = SIZE{std::max<LONG>(size.cx, bm.bmWidth), std::max<LONG>(size.cy, bm.bmHeight)};
    }
    return size;
}

} // namespace

TMenuFonts::TMenuFonts() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    normal_ = CreateFontIndirectW(&metrics.lfMenuFont);
    metrics.lfMenuFont.lfWeight = FW_BOLD;
    bold_ = CreateFontIndirectW(&metrics.lfMenuFont);
}

TMenuFonts::~TMenuFonts() {
    DeleteObject(ToGdiObject(normal_));
    DeleteObject(ToGdiObject(bold_));
}

TPopupLayout LayoutPopup(const TMenuObject& menu) {
    TPopupLayout layout;
    TMenuFonts fonts;
    TMeasure measure;
    const SIZE image = ImageSize(menu);
    layout.gutter = std::max<int>(GetSystemMetrics(SM_CXMENUCHECK), image.cx) + 2 * kGutterPadding;
    const int minimumHeight = std::max<int>(GetSystemMetrics(SM_CYMENUCHECK), image.cy) + kItemExtraHeight;

    layout.items.resize(menu.items.size());
    int x = kPopupBorder, bottom = kPopupBorder;
    size_t first = 0;
    // Lays out items [first, end) as one column starting at x.
    const auto column = [&](size_t end) {
        int captions = 0, shortcuts = 0, y = kPopupBorder;
        for (size_t i = first; i < end; ++i) {
            const TMenuEntry& entry = menu.items[i];
            int height = kSeparatorHeight;
            if (!entry.Separator()) {
                const SIZE caption = measure.Text(fonts.For(entry), entry.Caption(), true);
                const SIZE shortcut = measure.Text(fonts.For(entry), entry.Shortcut(), false);
                captions = std::max<int>(captions, caption.cx);
                shortcuts = std::max<int>(shortcuts, shortcut.cx);
                height = std::max<int>(caption.cy + kItemExtraHeight, minimumHeight);
            }
            layout.items[i] = RECT{x, y, x, y + height};
            y += height;
        }
        const int width = layout.gutter + kCaptionLeftGap + captions + (shortcuts ? kShortcutGap + shortcuts : 0) +
                          kSubmenuArrowArea;
        for (size_t i = first; i < end; ++i) layout.items[i].right = x + width;
        x += width;
        bottom = std::max(bottom, y);
    };
    for (size_t i = 0; i < menu.items.size(); ++i) {
        const UINT breaks = menu.items[i].type & (MFT_MENUBREAK | MFT_MENUBARBREAK);
        if (i == 0 || !breaks) continue;
        column(i);
        first = i;
        if (breaks & MFT_MENUBARBREAK) {
            layout.barBreaks.push_back(x);
            x += 2;
        }
    }
    column(menu.items.size());
    layout.size = SIZE{x + kPopupBorder, bottom + kPopupBorder};
    return layout;
}

RECT PopupTextArea(const TPopupLayout& layout, const RECT& item) {
    return RECT{item.left + layout.gutter + kCaptionLeftGap, item.top, item.right - kSubmenuArrowArea, item.bottom};
}

std::vector<RECT> LayoutMenuBar(const TMenuObject& menu, const RECT& bar) {
    std::vector<RECT> items;
    TMenuFonts fonts;
    TMeasure measure;
    int x = bar.left;
    for (const TMenuEntry& entry : menu.items) {
        const int width = entry.Separator() ? 0 : measure.Text(fonts.For(entry), entry.Caption(), true).cx;
        items.push_back(RECT{x, bar.top, x + width + 2 * kBarItemPadding, bar.bottom});
        x = items.back().right;
    }
    return items;
}

int ItemAt(const std::vector<RECT>& items, POINT pt) {
    for (size_t i = 0; i < items.size(); ++i) {
        const RECT& r = items[i];
        if (pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom) return int(i);
    }
    return -1;
}
