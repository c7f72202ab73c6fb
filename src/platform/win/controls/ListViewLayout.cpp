#include <algorithm>
#include <cstdlib>

#include "platform/win/controls/Controls.h"
#include "platform/win/controls/ListViewWindow.h"
#include "platform/win/controls/ScrollTarget.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/imagelist/ImageList.h"
#include "platform/win/nc/ScrollBars.h"
#include "platform/win/paint/Paint.h"
#include "platform/win/text/Text.h"

// --- Geometry and scrolling ------------------------------------------------------------

int TListViewWindow::FontHeight() const {
    const HDC dc = GetDC(hwnd_);
    SelectObject(dc, font_ ? ToGdiObject(font_) : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    ReleaseDC(hwnd_, dc);
    return tm.tmHeight;
}

void TListViewWindow::UpdateRowHeight() {
    int imageWidth = 0, imageHeight = 0;
    if (!smallImages_ || !ImageList_GetIconSize(smallImages_, &imageWidth, &imageHeight)) imageHeight = 0;
    rowHeight_ = std::max(FontHeight() + 2, imageHeight + 1);
}

RECT TListViewWindow::ClientRect() const {
    RECT r{};
    GetClientRect(hwnd_, &r);
    return r;
}

int TListViewWindow::HeaderHeight() const {
    if (!header_ || !IsWindowVisible(header_)) return 0;
    RECT r{};
    GetWindowRect(header_, &r);
    return r.bottom - r.top;
}

int TListViewWindow::TotalWidth() const {
    int total = 0;
    for (int i = 0, n = ColumnCount(); i < n; ++i) total += ColumnWidth(i);
    return total;
}

int TListViewWindow::CountPerPage() const {
    return std::max((ClientRect().bottom - HeaderHeight()) / rowHeight_, 0);
}

int TListViewWindow::MaxTop() const { return std::max(Count() - std::max(CountPerPage(), 1), 0); }

RECT TListViewWindow::RowRect(int index) const {
    const int top = HeaderHeight() + (index - top_) * rowHeight_;
    return RECT{-scrollX_, top, TotalWidth() - scrollX_, top + rowHeight_};
}

LRESULT TListViewWindow::GetItemRect(int index, RECT* rect) const {
    if (!rect || !Valid(index)) return FALSE;
    const int code = rect->left;
    RECT r = RowRect(index);
    int imageWidth = 0, imageHeight = 0;
    if (!smallImages_ || !ImageList_GetIconSize(smallImages_, &imageWidth, &imageHeight)) imageWidth = 0;
    const int firstRight = r.left + ColumnWidth(0);
    switch (code) {
    case LVIR_BOUNDS: break;
    case LVIR_ICON: r.right = r.left + imageWidth; break;
    case LVIR_LABEL: r.left += imageWidth, r.right = firstRight; break;
    case LVIR_SELECTBOUNDS:
        if (!FullRow()) r.right = firstRight;
        break;
    default: return FALSE;
    }
    *rect = r;
    return TRUE;
}

LVHITTESTINFO TListViewWindow::HitTest(POINT pt) const {
    LVHITTESTINFO hit{pt, LVHT_NOWHERE, -1, 0};
    const RECT client = ClientRect();
    const int header = HeaderHeight();
    if (pt.y < header) {
        hit.flags = LVHT_ABOVE;
        return hit;
    }
    if (pt.y >= client.bottom) {
        hit.flags = LVHT_BELOW;
        return hit;
    }
    const int index = top_ + (pt.y - header) / rowHeight_;
    if (!Valid(index)) return hit;
    int x = -scrollX_;
    for (int c = 0, n = ColumnCount(); c < n; ++c) {
        const int right = x + ColumnWidth(c);
        if (pt.x >= x && pt.x < right) {
            if (c > 0 && !FullRow()) return hit;
            hit.iItem = index;
            hit.iSubItem = c;
            int imageWidth = 0, imageHeight = 0;
            const bool onIcon = c == 0 && smallImages_ && ImageList_GetIconSize(smallImages_, &imageWidth, &imageHeight) &&
                                pt.x < x + imageWidth;
            hit.flags = onIcon ? LVHT_ONITEMICON : LVHT_ONITEMLABEL;
            return hit;
        }
        x = right;
    }
    if (pt.x >= x) hit.flags = LVHT_TORIGHT;
    return hit;
}

void TListViewWindow::SetTop(int top) {
    top = std::clamp(top, 0, MaxTop());
    if (top == top_) return;
    RECT rows = ClientRect();
    rows.top = HeaderHeight();
    const int dy = (top_ - top) * rowHeight_;
    top_ = top;
    if (std::abs(dy) < rows.bottom - rows.top)
        ScrollWindowEx(hwnd_, 0, dy, &rows, &rows, nullptr, nullptr, SW_INVALIDATE);
    else
        InvalidateRect(hwnd_, &rows, TRUE);
    UpdateScrollBars();
}

void TListViewWindow::SetScrollX(int x) {
    x = std::clamp(x, 0, std::max(TotalWidth() - ClientRect().right, 0));
    if (x == scrollX_) return;
    scrollX_ = x;
    UpdateLayout();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void TListViewWindow::EnsureVisible(int index, bool partialOk) {
    const int page = std::max(CountPerPage(), 1);
    if (index < top_) SetTop(index);
    else if (index >= top_ + page && !(partialOk && index == top_ + page)) SetTop(index - page + 1);
}

void TListViewWindow::UpdateLayout() {
    if (header_) {
        RECT area = ClientRect();
        area.left -= scrollX_;
        WINDOWPOS pos{};
        HDLAYOUT layout{&area, &pos};
        SendMessageW(header_, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout));
        SetWindowPos(header_, nullptr, pos.x, pos.y, pos.cx, pos.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SetTop(top_);
    UpdateScrollBars();
}

void TListViewWindow::UpdateScrollBars() {
    SCROLLINFO vertical{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(Count() - 1, 0),
                        UINT(std::max(CountPerPage(), 1)), top_, 0};
    SetScrollInfo(hwnd_, SB_VERT, &vertical, TRUE);
    SCROLLINFO horizontal{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(TotalWidth() - 1, 0),
                          UINT(std::max(int(ClientRect().right), 1)), scrollX_, 0};
    SetScrollInfo(hwnd_, SB_HORZ, &horizontal, TRUE);
}

void TListViewWindow::Scroll(int bar, WORD code) {
    const bool vertical = bar == SB_VERT;
    const TScrollSteps steps{vertical ? 1 : 20,
                             vertical ? std::max(CountPerPage() - 1, 1) : std::max(int(ClientRect().right) - 20, 20),
                             vertical ? Count() : TotalWidth()};
    const std::optional<int> to = ScrollTarget(hwnd_, bar, code, vertical ? top_ : scrollX_, steps);
    if (!to) return;
    if (vertical) SetTop(*to);
    else SetScrollX(*to);
}
