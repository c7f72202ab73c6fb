#include <algorithm>
#include <string>

#include "platform/win/controls/Controls.h"
#include "platform/win/controls/ListViewWindow.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/imagelist/ImageList.h"
#include "platform/win/text/Text.h"

// --- Columns (the header's items) ------------------------------------------------------

int TListViewWindow::ColumnCount() const { return int(SendMessageW(header_, HDM_GETITEMCOUNT, 0, 0)); }

LRESULT TListViewWindow::InsertColumn(int index, const LVCOLUMNW* column) {
    if (!column || index < 0) return -1;
    index = std::min(index, ColumnCount());
    HDITEMW item{};
    item.mask = HDI_WIDTH | HDI_FORMAT | HDI_TEXT;
    item.cxy = column->mask & LVCF_WIDTH ? column->cx : 0;
    item.fmt = HDF_STRING | (column->mask & LVCF_FMT ? column->fmt & LVCFMT_JUSTIFYMASK : HDF_LEFT);
    item.pszText = column->mask & LVCF_TEXT ? column->pszText : nullptr;
    const LRESULT added = SendMessageW(header_, HDM_INSERTITEMW, WPARAM(index), reinterpret_cast<LPARAM>(&item));
    // Later columns keep showing their sub-items: each item's texts move along.
    if (index > 0)
        for (TItem& it : items_)
            if (int(it.texts.size()) > index) it.texts.insert(it.texts.begin() + index, String());
    UpdateScrollBars();
    InvalidateRect(hwnd_, nullptr, TRUE);
    return added;
}

LRESULT TListViewWindow::DeleteColumn(int index) {
    if (!SendMessageW(header_, HDM_DELETEITEM, WPARAM(index), 0)) return FALSE;
    if (index > 0)
        for (TItem& it : items_)
            if (int(it.texts.size()) > index) it.texts.erase(it.texts.begin() + index);
    SetScrollX(scrollX_);
    UpdateScrollBars();
    InvalidateRect(hwnd_, nullptr, TRUE);
    return TRUE;
}

LRESULT TListViewWindow::SetColumn(int index, const LVCOLUMNW* column) {
    if (!column) return FALSE;
    HDITEMW item{};
    if (column->mask & LVCF_WIDTH) {
        item.mask |= HDI_WIDTH;
        item.cxy = column->cx;
    }
    if (column->mask & LVCF_FMT) {
        item.mask |= HDI_FORMAT;
        item.fmt = HDF_STRING | (column->fmt & LVCFMT_JUSTIFYMASK);
    }
    if (column->mask & LVCF_TEXT) {
        item.mask |= HDI_TEXT;
        item.pszText = column->pszText;
    }
    return SendMessageW(header_, HDM_SETITEMW, WPARAM(index), reinterpret_cast<LPARAM>(&item));
}

LRESULT TListViewWindow::GetColumn(int index, LVCOLUMNW* column) const {
    if (!column) return FALSE;
    HDITEMW item{};
    item.mask = HDI_WIDTH | HDI_FORMAT;
    if (column->mask & LVCF_TEXT) {
        item.mask |= HDI_TEXT;
        item.pszText = column->pszText;
        item.cchTextMax = column->cchTextMax;
    }
    if (!SendMessageW(header_, HDM_GETITEMW, WPARAM(index), reinterpret_cast<LPARAM>(&item))) return FALSE;
    if (column->mask & LVCF_WIDTH) column->cx = item.cxy;
    if (column->mask & LVCF_FMT) column->fmt = item.fmt & HDF_JUSTIFYMASK;
    if (column->mask & LVCF_SUBITEM) column->iSubItem = index;
    if ((column->mask & LVCF_TEXT) && (!column->pszText || column->cchTextMax <= 0))
        column->cchTextMax = item.cchTextMax;
    return TRUE;
}

int TListViewWindow::ColumnWidth(int index) const {
    HDITEMW item{};
    item.mask = HDI_WIDTH;
    return SendMessageW(header_, HDM_GETITEMW, WPARAM(index), reinterpret_cast<LPARAM>(&item)) ? item.cxy : 0;
}

int TListViewWindow::WidestText(int column) const {
    const HDC dc = GetDC(hwnd_);
    SelectObject(dc, font_ ? ToGdiObject(font_) : GetStockObject(DEFAULT_GUI_FONT));
    int widest = 0;
    for (int i = 0; i < Count(); ++i) {
        const String& s = Text(i, column);
        SIZE size{};
        GetTextExtentPoint32W(dc, s.c_str(), int(s.size()), &size);
        widest = std::max(widest, int(size.cx));
    }
    ReleaseDC(hwnd_, dc);
    int imageWidth = 0, imageHeight = 0;
    if (column == 0 && smallImages_ && ImageList_GetIconSize(smallImages_, &imageWidth, &imageHeight))
        widest += imageWidth + 2;
    return widest + 2 * kCellMargin;
}

LRESULT TListViewWindow::SetColumnWidth(int index, int width) {
    if (index < 0 || index >= ColumnCount()) return FALSE;
    if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER) {
        int fitted = WidestText(index);
        if (width == LVSCW_AUTOSIZE_USEHEADER) {
            char16_t caption[260] = {};
            HDITEMW item{};
            item.mask = HDI_TEXT;
            item.pszText = caption;
            item.cchTextMax = 260;
            SendMessageW(header_, HDM_GETITEMW, WPARAM(index), reinterpret_cast<LPARAM>(&item));
            const HDC dc = GetDC(hwnd_);
            SelectObject(dc, font_ ? ToGdiObject(font_) : GetStockObject(DEFAULT_GUI_FONT));
            SIZE size{};
            GetTextExtentPoint32W(dc, caption, int(std::char_traits<char16_t>::length(caption)), &size);
            ReleaseDC(hwnd_, dc);
            fitted = std::max(fitted, int(size.cx) + 2 * kCellMargin);
        }
        width = fitted;
    }
    HDITEMW item{};
    item.mask = HDI_WIDTH;
    item.cxy = std::max(width, 0);
    return SendMessageW(header_, HDM_SETITEMW, WPARAM(index), reinterpret_cast<LPARAM>(&item));
}

LRESULT TListViewWindow::HeaderNotify(const NMHEADERW& nm) {
    switch (nm.hdr.code) {
    case HDN_ITEMCLICKW: {
        NMLISTVIEW lv{};
        lv.iItem = -1;
        lv.iSubItem = nm.iItem;
        Notify(lv.hdr, LVN_COLUMNCLICK);
        return 0;
    }
    case HDN_ITEMCHANGEDW:
        UpdateScrollBars();
        SetScrollX(scrollX_);
        InvalidateRect(hwnd_, nullptr, TRUE);
        return 0;
    case HDN_DIVIDERDBLCLICKW: SetColumnWidth(nm.iItem, LVSCW_AUTOSIZE); return 0;
    default: return 0;
    }
}
