// Layout and painting of the tab control: tabs sized to their image and
// text side by side from the left, the selected one standing two pixels
// taller and wider and joined to the frame below.

#include <algorithm>

#include "platform/win/controls/Controls.h"
#include "platform/win/controls/TabControlWindow.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/imagelist/ImageList.h"
#include "platform/win/system/SystemColors.h"
#include "platform/win/text/Text.h"

namespace {

constexpr int kRowTop = 2;        // room for the selected tab to stand out
constexpr int kFirstTab = 2;      // left of the first tab
constexpr int kTabPadding = 6;    // each side of a tab's contents
constexpr int kImageGap = 3;      // between a tab's image and its text
constexpr int kFrameInset = 4;    // frame edge and margin around the display area
constexpr int kSelectedRise = 2;  // how far the selected tab stands out

} // namespace

int TTabControlWindow::RowHeight() {
    Layout();
    return kRowTop + rowHeight_;
}

RECT TTabControlWindow::ItemRect(int index) {
    Layout();
    return rects_[size_t(index)];
}

void TTabControlWindow::Layout() {
    if (layoutValid_) return;
    HDC dc = GetDC(hwnd_);
    HGDIOBJ oldFont = font_ ? SelectObject(dc, ToGdiObject(font_)) : nullptr;
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    int imageWidth = 0, imageHeight = 0;
    if (images_) ImageList_GetIconSize(images_, &imageWidth, &imageHeight);
    rowHeight_ = std::max(int(tm.tmHeight), imageHeight) + kTabPadding;
    std::vector<int> widths;
    widths.reserve(tabs_.size());
    for (const TTab& tab : tabs_) {
        SIZE text{};
        GetTextExtentPoint32W(dc, tab.text.c_str(), tab.text.Length(), &text);
        int width = 2 * kTabPadding + text.cx;
        if (images_ && tab.image >= 0) width += imageWidth + (text.cx ? kImageGap : 0);
        widths.push_back(width);
    }
    if (oldFont) SelectObject(dc, oldFont);
    ReleaseDC(hwnd_, dc);
    layoutValid_ = true;
    UpdateScroller(widths);

    rects_.clear();
    int x = kFirstTab;
    for (int i = 0; i < firstVisible_; ++i) x -= widths[size_t(i)];
    for (int width : widths) {
        rects_.push_back(RECT{x, kRowTop, x + width, kRowTop + rowHeight_});
        x += width;
    }
}

int TTabControlWindow::VisibleRight() const {
    RECT client;
    GetClientRect(hwnd_, &client);
    if (!scroller_ || !IsWindowVisible(scroller_)) return client.right;
    RECT r;
    GetWindowRect(scroller_, &r);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    return r.left;
}

void TTabControlWindow::UpdateScroller(const std::vector<int>& widths) {
    RECT client;
    GetClientRect(hwnd_, &client);
    int total = kFirstTab;
    for (int width : widths) total += width;
    if (total <= client.right) {
        firstVisible_ = lastFirstVisible_ = 0;
        if (scroller_) ShowWindow(scroller_, SW_HIDE);
        return;
    }
    const int arrow = GetSystemMetrics(SM_CXHSCROLL);
    const RECT place{client.right - 2 * arrow, kRowTop + rowHeight_ - arrow - 1, client.right, kRowTop + rowHeight_ - 1};
    // The furthest first tab from which the remaining tabs fit left of the scroller.
    int room = place.left - kFirstTab;
    lastFirstVisible_ = int(widths.size());
    while (lastFirstVisible_ > 0 && room >= widths[size_t(lastFirstVisible_ - 1)])
        room -= widths[size_t(--lastFirstVisible_)];
    lastFirstVisible_ = std::min(lastFirstVisible_, int(widths.size()) - 1);
    firstVisible_ = std::clamp(firstVisible_, 0, lastFirstVisible_);
    if (!scroller_)
        scroller_ = CreateWindowExW(0, u"msctls_updown32", u"", WS_CHILD | UDS_HORZ, place.left, place.top,
                                    place.right - place.left, place.bottom - place.top, hwnd_, nullptr, nullptr,
                                    nullptr);
    if (!scroller_) return;
    SetWindowPos(scroller_, HWND_TOP, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SendMessageW(scroller_, UDM_SETRANGE32, 0, lastFirstVisible_);
    SendMessageW(scroller_, UDM_SETPOS32, 0, firstVisible_);
}

void TTabControlWindow::Scroll(int firstVisible) {
    Layout();
    firstVisible = std::clamp(firstVisible, 0, lastFirstVisible_);
    if (firstVisible == firstVisible_) return;
    firstVisible_ = firstVisible;
    layoutValid_ = false;
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void TTabControlWindow::EnsureVisible(int index) {
    if (index < 0) return;
    Layout();
    if (lastFirstVisible_ == 0) return;
    int first = std::min(firstVisible_, index);
    const int right = VisibleRight();
    // Steps forward while the tab's right end lies past the visible part.
    while (first < std::min(index, lastFirstVisible_) &&
           rects_[size_t(index)].right - (rects_[size_t(first)].left - kFirstTab) > right)
        ++first;
    Scroll(first);
    if (scroller_) SendMessageW(scroller_, UDM_SETPOS32, 0, firstVisible_);
}

void TTabControlWindow::AdjustRect(bool larger, RECT& rect) {
    const int top = RowHeight() + kFrameInset;
    const int sign = larger ? -1 : 1;
    rect.left += sign * kFrameInset;
    rect.top += sign * top;
    rect.right -= sign * kFrameInset;
    rect.bottom -= sign * kFrameInset;
}

void TTabControlWindow::InvalidateTab(int index) {
    if (index < 0 || size_t(index) >= tabs_.size()) return;
    RECT r = ItemRect(index);
    r.left -= kSelectedRise;
    r.top -= kSelectedRise;
    r.right += kSelectedRise;
    r.bottom += kSelectedRise;
    InvalidateRect(hwnd_, &r, TRUE);
}

void TTabControlWindow::Paint(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    RECT frame{client.left, RowHeight(), client.right, client.bottom};
    DrawEdge(dc, &frame, EDGE_RAISED, BF_RECT);
    HGDIOBJ oldFont = font_ ? SelectObject(dc, ToGdiObject(font_)) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    for (int i = 0; size_t(i) < tabs_.size(); ++i)
        if (i != selected_) PaintTab(dc, i, false);
    if (selected_ >= 0) PaintTab(dc, selected_, true);
    if (oldFont) SelectObject(dc, oldFont);
}

void TTabControlWindow::PaintTab(HDC dc, int index, bool selected) {
    const TTab& tab = tabs_[size_t(index)];
    RECT r = ItemRect(index);
    if (selected) {
        r.left -= kSelectedRise;
        r.top -= kSelectedRise;
        r.right += kSelectedRise;
        // Covers the frame's top edge under the tab so that the two join.
        RECT join{r.left, r.top, r.right, r.bottom + kSelectedRise};
        FillRect(dc, &join, GetSysColorBrush(COLOR_BTNFACE));
    }
    DrawEdge(dc, &r, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT);

    RECT content{r.left + kTabPadding, r.top, r.right - kTabPadding, r.bottom};
    if (images_ && tab.image >= 0) {
        int width = 0, height = 0;
        ImageList_GetIconSize(images_, &width, &height);
        ImageList_Draw(images_, tab.image, dc, content.left, (content.top + content.bottom - height) / 2,
                       ILD_TRANSPARENT);
        content.left += width + kImageGap;
    }
    const bool enabled = IsWindowEnabled(hwnd_);
    SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    DrawTextW(dc, tab.text.c_str(), tab.text.Length(), &content, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
    if (selected && focused_) {
        RECT focus{content.left - 2, content.top + 2, content.right + 2, content.bottom - 1};
        DrawFocusRect(dc, &focus);
    }
}
