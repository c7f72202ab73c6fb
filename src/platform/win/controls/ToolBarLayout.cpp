// Where a toolbar's buttons lie: one size for all buttons (TB_SETBUTTONSIZE,
// else what the largest image and caption ask), wider ones for drop-down
// arrows, BTNS_AUTOSIZE buttons as wide as their own content, separators
// as wide as their iBitmap (8 pixels for 0); rows break after TBSTATE_WRAP
// and, with TBSTYLE_WRAPABLE, before a button that would cross the right edge.

#include <algorithm>

#include "platform/win/controls/Controls.h"
#include "platform/win/controls/ToolBarWindow.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/text/Text.h"

namespace {

constexpr int kSeparatorWidth = 8;
constexpr int kArrowPartWidth = 14; // the separate arrow part of TBSTYLE_EX_DRAWDDARROWS
constexpr int kInnerArrowWidth = 10; // the arrow inside a BTNS_WHOLEDROPDOWN button
constexpr int kDividerHeight = 2;

} // namespace

int TToolBarWindow::MeasureLineHeight() const {
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, ToGdiObject(font_ ? font_ : HFONT(GetStockObject(DEFAULT_GUI_FONT))));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    return int(metrics.tmHeight);
}

bool TToolBarWindow::CaptionsShown() const {
    if (textRows_ <= 0) return false;
    return std::any_of(buttons_.begin(), buttons_.end(), [this](const TButton& b) { return CaptionOf(b); });
}

bool TToolBarWindow::CaptionOf(const TButton& button) const {
    if (textRows_ <= 0 || button.Separator() || button.caption.empty()) return false;
    // Mixed list bars show only the captions asked for; the others show them as tips.
    if (List() && (extendedStyle_ & TBSTYLE_EX_MIXEDBUTTONS)) return button.style & BTNS_SHOWTEXT;
    return true;
}

SIZE TToolBarWindow::ContentSize(const TButton& button) const {
    const bool image = !(List() && button.image == I_IMAGENONE);
    SIZE size{image ? bitmapSize_.cx : 0, image ? bitmapSize_.cy : 0};
    if (!CaptionOf(button)) return size;
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, ToGdiObject(font_ ? font_ : HFONT(GetStockObject(DEFAULT_GUI_FONT))));
    SIZE text{};
    GetTextExtentPoint32W(dc, button.caption.c_str(), int(button.caption.size()), &text);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    if (List()) return {size.cx + (image ? kListGap : 0) + text.cx, std::max(size.cy, int(text.cy))};
    return {std::max(size.cx, int(text.cx)), size.cy + kCaptionGap + lineHeight_ * textRows_};
}

SIZE TToolBarWindow::ButtonSize() const {
    if (buttonSize_.cx > 0 && buttonSize_.cy > 0) return buttonSize_;
    SIZE content{bitmapSize_.cx, bitmapSize_.cy};
    if (!List() && CaptionsShown()) content.cy += kCaptionGap + lineHeight_ * textRows_;
    for (const TButton& button : buttons_) {
        if (button.Separator() || (button.style & BTNS_AUTOSIZE)) continue;
        const SIZE own = ContentSize(button);
        content.cx = std::max(content.cx, own.cx);
        content.cy = std::max(content.cy, own.cy);
    }
    return {buttonSize_.cx > 0 ? buttonSize_.cx : content.cx + kPadX,
            buttonSize_.cy > 0 ? buttonSize_.cy : content.cy + kPadY};
}

int TToolBarWindow::ArrowWidth(const TButton& button) const {
    if (button.style & BTNS_WHOLEDROPDOWN) return kInnerArrowWidth;
    if ((button.style & BTNS_DROPDOWN) && (extendedStyle_ & TBSTYLE_EX_DRAWDDARROWS)) return kArrowPartWidth;
    return 0;
}

int TToolBarWindow::ButtonWidth(const TButton& button, int barWidth) const {
    if (button.fixedWidth > 0) return button.fixedWidth;
    if (button.Separator()) return button.image > 0 ? button.image : kSeparatorWidth;
    const int body = button.style & BTNS_AUTOSIZE ? ContentSize(button).cx + kPadX : barWidth;
    return body + ArrowWidth(button);
}

int TToolBarWindow::DividerHeight() const { return Style() & CCS_NODIVIDER ? 0 : kDividerHeight; }

void TToolBarWindow::Layout() {
    RECT client;
    GetClientRect(hwnd_, &client);
    lineHeight_ = MeasureLineHeight();
    const SIZE size = ButtonSize();
    const bool wrapable = Style() & TBSTYLE_WRAPABLE;
    int x = indent_, y = 0;
    bool rowEmpty = true;
    rows_ = 1;
    auto newRow = [&] {
        x = indent_;
        y += size.cy;
        rowEmpty = true;
        ++rows_;
    };
    for (TButton& button : buttons_) {
        if (button.Hidden()) {
            button.rect = {};
            continue;
        }
        const int width = ButtonWidth(button, size.cx);
        if (wrapable && !rowEmpty && x + width > client.right) newRow();
        button.rect = {x, y, x + width, y + size.cy};
        x += width;
        rowEmpty = false;
        if (button.state & TBSTATE_WRAP) newRow();
    }
    // A wrap after the last button opens no row.
    if (rowEmpty && rows_ > 1) --rows_;
}

void TToolBarWindow::Relayout() {
    Layout();
    UpdateTools();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void TToolBarWindow::AutoSize() {
    const DWORD style = Style();
    if (style & CCS_NORESIZE) {
        Relayout();
        return;
    }
    const HWND parent = GetParent(hwnd_);
    RECT area{};
    if (parent) GetClientRect(parent, &area);
    RECT window;
    GetWindowRect(hwnd_, &window);
    if (parent) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&window), 2);
    // The rows depend on the width a wrapable bar gets first.
    if (!(style & CCS_NOPARENTALIGN))
        SetWindowPos(hwnd_, nullptr, 0, 0, area.right, window.bottom - window.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
    const int height = rows_ * ButtonSize().cy + DividerHeight();
    // Along the parent's top (bottom with CCS_BOTTOM) and across its width.
    const bool align = !(style & CCS_NOPARENTALIGN);
    int top = window.top;
    if (align && (style & CCS_BOTTOM) == CCS_BOTTOM)
        top = area.bottom - height;
    else if (align && !(style & CCS_NOMOVEY))
        top = 0;
    SetWindowPos(hwnd_, nullptr, align ? 0 : window.left, top, align ? area.right : window.right - window.left, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    Relayout();
}

int TToolBarWindow::HitTest(POINT pt) const {
    for (size_t i = 0; i < buttons_.size(); ++i) {
        const TButton& button = buttons_[i];
        if (button.Hidden() || !Contains(button.rect, pt)) continue;
        return button.Separator() ? -1 - int(i) : int(i);
    }
    return -1 - int(buttons_.size());
}

RECT TToolBarWindow::ArrowRect(const TButton& button) const {
    const int width = ArrowWidth(button);
    if (!width) return {};
    return {button.rect.right - width, button.rect.top, button.rect.right, button.rect.bottom};
}

SIZE TToolBarWindow::MaxSize() const {
    SIZE size{0, 0};
    for (const TButton& button : buttons_) {
        if (button.Hidden()) continue;
        size.cx = std::max(size.cx, button.rect.right);
        size.cy = std::max(size.cy, button.rect.bottom);
    }
    return size;
}
