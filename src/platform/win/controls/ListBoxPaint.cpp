#include <algorithm>

#include "platform/win/controls/ListBoxWindow.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/text/Text.h"

HBRUSH TListBoxWindow::PrepareDC(HDC dc) const {
    if (font_) SelectObject(dc, ToGdiObject(font_));
    return ControlColorBrush(hwnd_, dc, WM_CTLCOLORLISTBOX);
}

// Rows from the top index down while they are in the window; only those meeting Area are drawn.
void TListBoxWindow::Paint(HDC dc, const RECT& area) {
    const HBRUSH background = PrepareDC(dc);
    const int width = ClientWidth(), height = ClientHeight();
    int y = 0;
    for (int i = top_; i < items_.Count() && y < height; ++i) {
        const RECT row{0, y, width, y + RowHeight(i)};
        if (Intersects(row, area)) DrawItem(dc, i, row, ODA_DRAWENTIRE, background);
        y = row.bottom;
    }
    const RECT rest{0, y, width, std::max(height, y)};
    if (Intersects(rest, area)) FillRect(dc, &rest, background);
}

void TListBoxWindow::RedrawItem(int index, UINT action) {
    if (!items_.Valid(index) || !redraw_ || !IsWindowVisible(hwnd_)) return;
    const RECT row = ItemRect(index);
    if (row.bottom <= 0 || row.top >= ClientHeight()) return;
    const HDC dc = GetDC(hwnd_);
    const HBRUSH background = PrepareDC(dc);
    DrawItem(dc, index, row, action, background);
    ReleaseDC(hwnd_, dc);
}

void TListBoxWindow::InvalidateItem(int index) {
    if (!items_.Valid(index)) return;
    const RECT row = ItemRect(index);
    InvalidateRect(hwnd_, &row, TRUE);
}

void TListBoxWindow::InvalidateFrom(int index) {
    RECT rest{0, 0, ClientWidth(), ClientHeight()};
    if (index > top_) rest.top = std::max(ItemRect(index).top, 0);
    if (rest.top < rest.bottom) InvalidateRect(hwnd_, &rest, TRUE);
}

void TListBoxWindow::DrawItem(HDC dc, int index, const RECT& rect, UINT action, HBRUSH background) {
    const bool selected = IsSelected(index);
    const bool focus = focused_ && index == caret_;
    const bool enabled = IsWindowEnabled(hwnd_);
    if (OwnerDraw()) {
        UINT state = 0;
        if (selected) state |= ODS_SELECTED;
        if (focus) state |= ODS_FOCUS;
        if (!enabled) state |= ODS_DISABLED;
        DRAWITEMSTRUCT draw{ODT_LISTBOX, UINT(GetDlgCtrlID(hwnd_)), UINT(index), action, state, hwnd_, dc, rect,
                            items_[index].data};
        if (const HWND target = NotifyTarget(hwnd_))
            SendMessageW(target, WM_DRAWITEM, WPARAM(draw.CtlID), reinterpret_cast<LPARAM>(&draw));
        return;
    }
    const COLORREF text = GetTextColor(dc), back = GetBkColor(dc);
    if (selected) {
        FillRect(dc, &rect, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
    } else {
        FillRect(dc, &rect, background);
    }
    if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    const String& s = items_[index].text;
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    ExtTextOutW(dc, rect.left + 2, rect.top, ETO_CLIPPED, &rect, s.c_str(), UINT(s.size()), nullptr);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, text);
    SetBkColor(dc, back);
    if (focus) DrawFocusRect(dc, &rect);
}
