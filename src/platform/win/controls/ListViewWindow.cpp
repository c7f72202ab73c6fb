#include "platform/win/controls/ListViewWindow.h"

#include <algorithm>

#include "platform/win/controls/Controls.h"
#include "platform/win/controls/StandardControls.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/imagelist/ImageList.h"
#include "platform/win/nc/ScrollBars.h"
#include "platform/win/text/Text.h"

LRESULT ListViewWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ControlWindowProc<TListViewWindow>(hwnd, message, wParam, lParam);
}

namespace {

const String kNoText;


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
    case WM_PAINT: return PaintControl(hwnd_, wParam, [this](HDC dc, const RECT& area) { Paint(dc, area); });
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
    case LVM_SORTITEMS:
    case LVM_SORTITEMSEX:
        return SortItems(LPARAM(wParam), reinterpret_cast<PFNLVCOMPARE>(lParam), message == LVM_SORTITEMSEX);
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

// The places are sorted first and the items moved once into them.
LRESULT TListViewWindow::SortItems(LPARAM sortParam, PFNLVCOMPARE compare, bool byIndex) {
    if (!compare) return FALSE;
    std::vector<int> order(items_.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = int(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return (byIndex ? compare(a, b, sortParam)
                        : compare(items_[size_t(a)].param, items_[size_t(b)].param, sortParam)) < 0;
    });
    std::vector<TItem> sorted;
    sorted.reserve(items_.size());
    for (int i : order) sorted.push_back(std::move(items_[size_t(i)]));
    items_ = std::move(sorted);
    focus_ = anchor_ = -1;
    for (int i = 0; i < Count(); ++i)
        if (items_[size_t(i)].state & LVIS_FOCUSED) focus_ = anchor_ = i;
    InvalidateRect(hwnd_, nullptr, TRUE);
    return TRUE;
}

// --- State and notifications -----------------------------------------------------------

LRESULT TListViewWindow::Notify(NMHDR& hdr, UINT code) const {
    return SendNotify(hwnd_, code, hdr);
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
