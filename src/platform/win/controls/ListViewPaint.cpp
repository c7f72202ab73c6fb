#include <algorithm>

#include "platform/win/controls/Controls.h"
#include "platform/win/controls/ListViewWindow.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/imagelist/ImageList.h"
#include "platform/win/text/Text.h"

namespace {

UINT Alignment(int format) {
    switch (format & HDF_JUSTIFYMASK) {
    case HDF_RIGHT: return DT_RIGHT;
    case HDF_CENTER: return DT_CENTER;
    default: return DT_LEFT;
    }
}

} // namespace

// The rows from the top index that meet Area, below the header; the rest in the window colour.
void TListViewWindow::Paint(HDC dc, const RECT& area) {
    const RECT client = ClientRect();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, 0, HeaderHeight(), client.right, client.bottom);
    SelectObject(dc, font_ ? ToGdiObject(font_) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    int y = HeaderHeight();
    for (int i = top_; i < Count() && y < client.bottom; ++i) {
        const RECT row{0, y, client.right, y + rowHeight_};
        if (Intersects(row, area)) DrawRow(dc, i, row);
        y = row.bottom;
    }
    const RECT rest{0, y, client.right, std::max(int(client.bottom), y)};
    if (Intersects(rest, area)) FillRect(dc, &rest, GetSysColorBrush(COLOR_WINDOW));
    RestoreDC(dc, saved);
}

void TListViewWindow::DrawRow(HDC dc, int index, const RECT& row) {
    const TItem& item = items_[size_t(index)];
    FillRect(dc, &row, GetSysColorBrush(COLOR_WINDOW));
    const bool showSelection = (item.state & LVIS_SELECTED) && (focused_ || (Style() & LVS_SHOWSELALWAYS));
    RECT select{LVIR_SELECTBOUNDS, 0, 0, 0};
    GetItemRect(index, &select);
    int imageWidth = 0, imageHeight = 0;
    const bool images = smallImages_ && ImageList_GetIconSize(smallImages_, &imageWidth, &imageHeight);
    if (!FullRow() && images) select.left += imageWidth; // the label alone, not the picture
    if (showSelection) FillRect(dc, &select, GetSysColorBrush(focused_ ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    int x = -scrollX_;
    for (int c = 0, n = ColumnCount(); c < n; ++c) {
        const int width = ColumnWidth(c);
        RECT cell{x, row.top, x + width, row.bottom};
        x = cell.right;
        if (cell.right <= row.left || cell.left >= row.right || width == 0) continue;
        if (c == 0 && images) {
            if (item.image >= 0)
                ImageList_Draw(smallImages_, item.image, dc, cell.left, cell.top + (rowHeight_ - imageHeight) / 2,
                               ILD_NORMAL);
            cell.left += imageWidth;
        }
        const bool highlighted = showSelection && (c == 0 || FullRow());
        SetTextColor(dc, GetSysColor(highlighted && focused_ ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        HDITEMW format{};
        format.mask = HDI_FORMAT;
        SendMessageW(header_, HDM_GETITEMW, WPARAM(c), reinterpret_cast<LPARAM>(&format));
        RECT text{cell.left + kCellMargin, cell.top, cell.right - kCellMargin, cell.bottom};
        const String& s = Text(index, c);
        DrawTextW(dc, s.c_str(), int(s.size()), &text,
                  Alignment(format.fmt) | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (focused_ && index == focus_) DrawFocusRect(dc, &select);
}

void TListViewWindow::InvalidateItem(int index) {
    if (!Valid(index) || index < top_ || index > top_ + CountPerPage()) return;
    RECT row = RowRect(index);
    row.left = 0;
    row.right = ClientRect().right;
    InvalidateRect(hwnd_, &row, TRUE);
}
