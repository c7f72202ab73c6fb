#include "platform/win/controls/ListViewWindow.h"

#include <algorithm>

#include "platform/win/controls/StandardControls.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/imagelist/ImageList.h"
#include "platform/win/nc/ScrollBars.h"
#include "platform/win/paint/Paint.h"
#include "platform/win/text/Text.h"

LRESULT ListViewWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ControlWindowProc<TListViewWindow>(hwnd, message, wParam, lParam);
}

namespace {

// Room either side of a cell's text.
constexpr int kCellMargin = 6;

const String kNoText;

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

// Copies Text into the caller's buffer within its size; answers the units copied,
// or without a buffer the text's length.
int CopyText(const String& text, LPWSTR buffer, int size) {
    if (!buffer || size <= 0) return int(text.size());
    const size_t n = std::min(text.size(), size_t(size - 1));
    std::copy_n(text.data(), n, buffer);
    buffer[n] = u'\0';
    return int(n);
}

} // namespace

DWORD TListViewWindow::Style() const { return DWORD(GetWindowLongW(hwnd_, GWL_STYLE)); }

LRESULT TListViewWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: Create(); return 0;
    case WM_SIZE: UpdateLayout(); return 0;
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        if (header_) SendMessageW(header_, WM_SETFONT, wParam, lParam);
        UpdateRowHeight();
        UpdateLayout();
        if (LOWORD(lParam)) InvalidateRect(hwnd_, nullptr, TRUE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        if (const HDC dc = reinterpret_cast<HDC>(wParam)) {
            RECT area{};
            GetClipBox(dc, &area);
            Paint(dc, area);
            return 0;
        }
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(hwnd_, &ps);
        Paint(dc, ps.rcPaint);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wParam), ClientRect()); return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        focused_ = message == WM_SETFOCUS;
        InvalidateItem(focus_);
        if (!(Style() & LVS_SHOWSELALWAYS) || focused_)
            for (int i = 0; i < Count(); ++i)
                if (items_[size_t(i)].state & LVIS_SELECTED) InvalidateItem(i);
        NMHDR hdr{};
        Notify(hdr, focused_ ? NM_SETFOCUS : NM_KILLFOCUS);
        return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN: KeyDown(UINT(wParam)); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        ButtonDown(PointOf(lParam), UINT(wParam), message == WM_LBUTTONDBLCLK, false);
        return 0;
    case WM_RBUTTONDOWN: ButtonDown(PointOf(lParam), UINT(wParam), false, true); return 0;
    case WM_MOUSEWHEEL: {
        wheelDelta_ += GET_WHEEL_DELTA_WPARAM(wParam);
        const int notches = wheelDelta_ / WHEEL_DELTA;
        wheelDelta_ -= notches * WHEEL_DELTA;
        SetTop(top_ - notches * 3);
        return 0;
    }
    case WM_VSCROLL: Scroll(SB_VERT, LOWORD(wParam)); return 0;
    case WM_HSCROLL: Scroll(SB_HORZ, LOWORD(wParam)); return 0;
    case WM_NOTIFY: {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
        if (hdr && hdr->hwndFrom == header_ && header_) return HeaderNotify(*reinterpret_cast<const NMHEADERW*>(lParam));
        return 0;
    }

    case LVM_GETVIEW: return LV_VIEW_DETAILS;
    case LVM_GETHEADER: return reinterpret_cast<LRESULT>(header_);
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
        const DWORD old = exStyle_;
        const DWORD mask = wParam ? DWORD(wParam) : ~DWORD(0);
        exStyle_ = (exStyle_ & ~mask) | (DWORD(lParam) & mask);
        if (exStyle_ != old) InvalidateRect(hwnd_, nullptr, TRUE);
        return old;
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE: return exStyle_;
    case LVM_SETIMAGELIST: {
        HIMAGELIST& slot = int(wParam) == LVSIL_SMALL ? smallImages_ : normalImages_;
        const HIMAGELIST old = slot;
        slot = reinterpret_cast<HIMAGELIST>(lParam);
        UpdateRowHeight();
        UpdateLayout();
        InvalidateRect(hwnd_, nullptr, TRUE);
        return reinterpret_cast<LRESULT>(old);
    }
    case LVM_GETIMAGELIST:
        return reinterpret_cast<LRESULT>(int(wParam) == LVSIL_SMALL ? smallImages_ : normalImages_);

    case LVM_GETITEMCOUNT: return Count();
    case LVM_INSERTITEMW: return InsertItem(reinterpret_cast<const LVITEMW*>(lParam));
    case LVM_DELETEITEM: return DeleteItem(int(wParam));
    case LVM_DELETEALLITEMS: DeleteAllItems(); return TRUE;
    case LVM_SETITEMW: return SetItem(reinterpret_cast<const LVITEMW*>(lParam));
    case LVM_GETITEMW: return GetItem(reinterpret_cast<LVITEMW*>(lParam));
    case LVM_SETITEMTEXTW: return SetItemText(int(wParam), reinterpret_cast<const LVITEMW*>(lParam));
    case LVM_GETITEMTEXTW: return GetItemText(int(wParam), reinterpret_cast<LVITEMW*>(lParam));
    case LVM_SETITEMSTATE: {
        const auto* item = reinterpret_cast<const LVITEMW*>(lParam);
        if (!item) return FALSE;
        if (int(wParam) == -1) {
            for (int i = 0; i < Count(); ++i) SetState(i, item->state, item->stateMask);
            return TRUE;
        }
        if (!Valid(int(wParam))) return FALSE;
        SetState(int(wParam), item->state, item->stateMask);
        return TRUE;
    }
    case LVM_GETITEMSTATE: return Valid(int(wParam)) ? LRESULT(items_[wParam].state & UINT(lParam)) : 0;
    case LVM_GETNEXTITEM: return GetNextItem(int(wParam), UINT(LOWORD(lParam)));
    case LVM_SORTITEMS: return SortItems(LPARAM(wParam), reinterpret_cast<PFNLVCOMPARE>(lParam));
    case LVM_GETITEMRECT: return GetItemRect(int(wParam), reinterpret_cast<RECT*>(lParam));
    case LVM_HITTEST: {
        auto* info = reinterpret_cast<LVHITTESTINFO*>(lParam);
        if (!info) return -1;
        *info = HitTest(info->pt);
        return info->iItem;
    }
    case LVM_ENSUREVISIBLE:
        if (!Valid(int(wParam))) return FALSE;
        EnsureVisible(int(wParam), lParam != 0);
        return TRUE;
    case LVM_SCROLL: {
        const int dx = int(wParam), dy = int(lParam);
        SetScrollX(scrollX_ + dx);
        // Rows move by whole rows, a part of one counting as one.
        const int rows = dy / rowHeight_ + (dy % rowHeight_ > 0) - (dy % rowHeight_ < 0);
        SetTop(top_ + rows);
        return TRUE;
    }
    case LVM_GETTOPINDEX: return top_;
    case LVM_GETCOUNTPERPAGE: return CountPerPage();

    case LVM_INSERTCOLUMNW: return InsertColumn(int(wParam), reinterpret_cast<const LVCOLUMNW*>(lParam));
    case LVM_DELETECOLUMN: return DeleteColumn(int(wParam));
    case LVM_SETCOLUMNW: return SetColumn(int(wParam), reinterpret_cast<const LVCOLUMNW*>(lParam));
    case LVM_GETCOLUMNW: return GetColumn(int(wParam), reinterpret_cast<LVCOLUMNW*>(lParam));
    case LVM_GETCOLUMNWIDTH: return ColumnWidth(int(wParam));
    case LVM_SETCOLUMNWIDTH: return SetColumnWidth(int(wParam), GET_X_LPARAM(lParam));
    default: return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

void TListViewWindow::Create() {
    DWORD headerStyle = WS_CHILD | HDS_HORZ | HDS_FULLDRAG;
    if (!(Style() & LVS_NOSORTHEADER)) headerStyle |= HDS_BUTTONS;
    if (!(Style() & LVS_NOCOLUMNHEADER)) headerStyle |= WS_VISIBLE;
    header_ = CreateWindowExW(0, u"SysHeader32", u"", headerStyle, 0, 0, 0, 0, hwnd_, nullptr, nullptr, nullptr);
    UpdateRowHeight();
    UpdateLayout();
}

// --- Items -----------------------------------------------------------------------------

LRESULT TListViewWindow::InsertItem(const LVITEMW* item) {
    if (!item || item->iItem < 0 || item->iSubItem != 0) return -1;
    const int index = std::min(item->iItem, Count());
    TItem added;
    added.texts.resize(1);
    if ((item->mask & LVIF_TEXT) && item->pszText) added.texts[0] = item->pszText;
    if (item->mask & LVIF_IMAGE) added.image = item->iImage;
    if (item->mask & LVIF_PARAM) added.param = item->lParam;
    items_.insert(items_.begin() + index, std::move(added));
    if (focus_ >= index) ++focus_;
    if (anchor_ >= index) ++anchor_;
    if (item->mask & LVIF_STATE) SetState(index, item->state, item->stateMask);
    UpdateScrollBars();
    for (int i = index; i < Count() && i < top_ + CountPerPage() + 1; ++i) InvalidateItem(i);
    return index;
}

LRESULT TListViewWindow::DeleteItem(int index) {
    if (!Valid(index)) return FALSE;
    const int last = std::min(Count(), top_ + CountPerPage() + 1);
    for (int i = std::max(index, top_); i < last; ++i) InvalidateItem(i);
    items_.erase(items_.begin() + index);
    if (focus_ == index) focus_ = -1;
    else if (focus_ > index) --focus_;
    if (anchor_ == index) anchor_ = -1;
    else if (anchor_ > index) --anchor_;
    SetTop(top_);
    UpdateScrollBars();
    return TRUE;
}

void TListViewWindow::DeleteAllItems() {
    items_.clear();
    focus_ = anchor_ = -1;
    top_ = 0;
    UpdateScrollBars();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

const String& TListViewWindow::Text(int index, int subItem) const {
    const TItem& item = items_[size_t(index)];
    return subItem >= 0 && subItem < int(item.texts.size()) ? item.texts[size_t(subItem)] : kNoText;
}

LRESULT TListViewWindow::SetItem(const LVITEMW* item) {
    if (!item || !Valid(item->iItem) || item->iSubItem < 0) return FALSE;
    TItem& target = items_[size_t(item->iItem)];
    if (item->mask & LVIF_TEXT) SetItemText(item->iItem, item);
    if (item->iSubItem == 0) {
        if (item->mask & LVIF_IMAGE) target.image = item->iImage;
        if (item->mask & LVIF_PARAM) target.param = item->lParam;
        if (item->mask & LVIF_STATE) SetState(item->iItem, item->state, item->stateMask);
    }
    InvalidateItem(item->iItem);
    return TRUE;
}

LRESULT TListViewWindow::GetItem(LVITEMW* item) const {
    if (!item || !Valid(item->iItem)) return FALSE;
    const TItem& source = items_[size_t(item->iItem)];
    if (item->mask & LVIF_TEXT) CopyText(Text(item->iItem, item->iSubItem), item->pszText, item->cchTextMax);
    if (item->mask & LVIF_IMAGE) item->iImage = source.image;
    if (item->mask & LVIF_PARAM) item->lParam = source.param;
    if (item->mask & LVIF_STATE) item->state = source.state & item->stateMask;
    return TRUE;
}

LRESULT TListViewWindow::SetItemText(int index, const LVITEMW* item) {
    if (!item || !Valid(index) || item->iSubItem < 0) return FALSE;
    auto& texts = items_[size_t(index)].texts;
    if (int(texts.size()) <= item->iSubItem) texts.resize(size_t(item->iSubItem) + 1);
    texts[size_t(item->iSubItem)] = item->pszText ? String(item->pszText) : String();
    InvalidateItem(index);
    return TRUE;
}

LRESULT TListViewWindow::GetItemText(int index, LVITEMW* item) const {
    if (!item || !Valid(index)) return 0;
    return CopyText(Text(index, item->iSubItem), item->pszText, item->cchTextMax);
}

LRESULT TListViewWindow::GetNextItem(int start, UINT flags) const {
    const UINT wanted = (flags & LVNI_SELECTED ? LVIS_SELECTED : 0) | (flags & LVNI_FOCUSED ? LVIS_FOCUSED : 0);
    if (flags == LVNI_FOCUSED) return focus_ > start ? focus_ : -1;
    for (int i = std::max(start + 1, 0); i < Count(); ++i)
        if ((items_[size_t(i)].state & wanted) == wanted) return i;
    return -1;
}

LRESULT TListViewWindow::SortItems(LPARAM sortParam, PFNLVCOMPARE compare) {
    if (!compare) return FALSE;
    std::stable_sort(items_.begin(), items_.end(), [&](const TItem& a, const TItem& b) {
        return compare(a.param, b.param, sortParam) < 0;
    });
    focus_ = anchor_ = -1;
    for (int i = 0; i < Count(); ++i)
        if (items_[size_t(i)].state & LVIS_FOCUSED) focus_ = anchor_ = i;
    InvalidateRect(hwnd_, nullptr, TRUE);
    return TRUE;
}

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

// --- State and notifications -----------------------------------------------------------

LRESULT TListViewWindow::Notify(NMHDR& hdr, UINT code) const {
    hdr.hwndFrom = hwnd_;
    hdr.idFrom = UINT_PTR(GetDlgCtrlID(hwnd_));
    hdr.code = code;
    const HWND target = NotifyTarget(hwnd_);
    return target ? SendMessageW(target, WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr)) : 0;
}

void TListViewWindow::NotifyActivate(UINT code, int index, POINT pt) const {
    NMITEMACTIVATE nm{};
    nm.iItem = index;
    nm.ptAction = pt;
    Notify(nm.hdr, code);
}

// One focused item, and one selected item in a single-selection view: a new
// one first gives the old one up.
void TListViewWindow::SetState(int index, UINT state, UINT mask) {
    mask &= LVIS_FOCUSED | LVIS_SELECTED;
    const bool focusing = (mask & state & LVIS_FOCUSED) != 0;
    if (focusing && focus_ != index && Valid(focus_)) SetState(focus_, 0, LVIS_FOCUSED);
    if ((mask & state & LVIS_SELECTED) && SingleSelect())
        for (int i = 0; i < Count(); ++i)
            if (i != index && (items_[size_t(i)].state & LVIS_SELECTED)) SetState(i, 0, LVIS_SELECTED);
    TItem& item = items_[size_t(index)];
    const UINT old = item.state;
    item.state = (old & ~mask) | (state & mask);
    if (focusing) focus_ = index;
    else if ((mask & LVIS_FOCUSED) && focus_ == index) focus_ = -1;
    if (item.state == old) return;
    InvalidateItem(index);
    NMLISTVIEW nm{};
    nm.iItem = index;
    nm.uNewState = item.state;
    nm.uOldState = old;
    nm.uChanged = LVIF_STATE;
    nm.lParam = item.param;
    Notify(nm.hdr, LVN_ITEMCHANGED);
}

void TListViewWindow::SelectOnly(int index) {
    for (int i = 0; i < Count(); ++i)
        if (i != index && (items_[size_t(i)].state & LVIS_SELECTED)) SetState(i, 0, LVIS_SELECTED);
    if (Valid(index)) SetState(index, LVIS_SELECTED, LVIS_SELECTED);
}

void TListViewWindow::SelectRange(int from, int to) {
    if (from > to) std::swap(from, to);
    for (int i = 0; i < Count(); ++i) SetState(i, i >= from && i <= to ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

void TListViewWindow::Focus(int index) {
    if (Valid(index)) SetState(index, LVIS_FOCUSED, LVIS_FOCUSED);
}

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
    const int line = vertical ? 1 : 20;
    const int page = vertical ? std::max(CountPerPage() - 1, 1) : std::max(int(ClientRect().right) - 20, 20);
    const int pos = vertical ? top_ : scrollX_;
    int to = pos;
    switch (code) {
    case SB_LINEUP: to = pos - line; break;
    case SB_LINEDOWN: to = pos + line; break;
    case SB_PAGEUP: to = pos - page; break;
    case SB_PAGEDOWN: to = pos + page; break;
    case SB_TOP: to = 0; break;
    case SB_BOTTOM: to = vertical ? Count() : TotalWidth(); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(hwnd_, bar, &info);
        to = info.nTrackPos;
        break;
    }
    default: return;
    }
    if (vertical) SetTop(to);
    else SetScrollX(to);
}
