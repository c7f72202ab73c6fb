#include "platform/win/controls/TreeViewWindow.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "platform/win/controls/Controls.h"
#include "platform/win/controls/ScrollTarget.h"
#include "platform/win/controls/StandardControls.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/imagelist/ImageList.h"
#include "platform/win/nc/ScrollBars.h"
#include "platform/win/paint/Paint.h"
#include "platform/win/text/Text.h"

namespace {

constexpr int kTextBufferLength = 260;

} // namespace

LRESULT TreeViewWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ControlWindowProc<TTreeViewWindow>(hwnd, message, wParam, lParam);
}

TTreeViewWindow::~TTreeViewWindow() {
    if (hotFont_) DeleteObject(ToGdiObject(hotFont_));
}

DWORD TTreeViewWindow::Style() const { return DWORD(GetWindowLongPtrW(hwnd_, GWL_STYLE)); }

LRESULT TTreeViewWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        // Hiding the bar takes WS_VSCROLL away; the tree keeps it for when there is something to scroll.
        scrollBar_ = Style() & WS_VSCROLL;
        UpdateItemHeight();
        return 0;
    case WM_DESTROY:
        destroying_ = true;
        while (!roots_.empty()) DeleteItem(roots_.back().get());
        return 0;
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        if (hotFont_) DeleteObject(ToGdiObject(std::exchange(hotFont_, nullptr)));
        UpdateItemHeight();
        if (LOWORD(lParam)) InvalidateRect(hwnd_, nullptr, TRUE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_SIZE: SetTop(top_); UpdateScrollBar(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: return PaintControl(hwnd_, wParam, [this](HDC dc, const RECT& area) { Paint(dc, area); });
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        focused_ = message == WM_SETFOCUS;
        InvalidateItem(caret_);
        NMHDR header{};
        Notify(header, focused_ ? NM_SETFOCUS : NM_KILLFOCUS);
        return 0;
    }
    case WM_KEYDOWN: KeyDown(UINT(wParam)); return 0;
    case WM_CHAR: Char(char16_t(wParam)); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        ButtonDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, message == WM_LBUTTONDBLCLK);
        return 0;
    case WM_RBUTTONDOWN: RightButtonDown(); return 0;
    case WM_MOUSEMOVE: MouseMove(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
    case WM_MOUSELEAVE: SetHot(nullptr); return 0;
    case WM_VSCROLL: Scroll(LOWORD(wParam)); return 0;
    case WM_MOUSEWHEEL: SetTop(top_ - 3 * GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA); return 0;

    case TVM_INSERTITEMW: return lParam ? InsertItem(*reinterpret_cast<const TVINSERTSTRUCTW*>(lParam)) : 0;
    case TVM_DELETEITEM: {
        const HTREEITEM handle = reinterpret_cast<HTREEITEM>(lParam);
        if (handle == TVI_ROOT || !handle) {
            while (!roots_.empty()) DeleteItem(roots_.back().get());
            return TRUE;
        }
        TItem* item = FromHandle(handle);
        return item && DeleteItem(item);
    }
    case TVM_EXPAND: return Expand(FromHandle(reinterpret_cast<HTREEITEM>(lParam)), UINT(wParam));
    case TVM_GETITEMRECT: {
        auto* rect = reinterpret_cast<RECT*>(lParam);
        if (!rect) return FALSE;
        TItem* item = FromHandle(*reinterpret_cast<HTREEITEM*>(rect));
        return item && GetItemRect(item, wParam != 0, *rect);
    }
    case TVM_GETCOUNT: return LRESULT(live_.size());
    case TVM_GETVISIBLECOUNT: return RowsInView();
    case TVM_GETINDENT: return indent_;
    case TVM_SETINDENT:
        indent_ = std::max(int(wParam), 0);
        InvalidateRect(hwnd_, nullptr, TRUE);
        return TRUE;
    case TVM_GETIMAGELIST:
        return reinterpret_cast<LRESULT>(wParam == TVSIL_STATE ? stateImages_ : wParam == TVSIL_NORMAL ? images_ : nullptr);
    case TVM_SETIMAGELIST: {
        HIMAGELIST& slot = wParam == TVSIL_STATE ? stateImages_ : images_;
        if (wParam != TVSIL_STATE && wParam != TVSIL_NORMAL) return 0;
        const HIMAGELIST old = slot;
        slot = reinterpret_cast<HIMAGELIST>(lParam);
        UpdateItemHeight();
        InvalidateRect(hwnd_, nullptr, TRUE);
        return reinterpret_cast<LRESULT>(old);
    }
    case TVM_GETNEXTITEM: {
        TItem* item = FromHandle(reinterpret_cast<HTREEITEM>(lParam));
        if (lParam && !item) return 0;
        return GetNextItem(UINT(wParam), item);
    }
    case TVM_SELECTITEM: {
        TItem* item = FromHandle(reinterpret_cast<HTREEITEM>(lParam));
        if (lParam && !item) return FALSE;
        switch (wParam) {
        case TVGN_CARET: return Select(item, TVC_UNKNOWN);
        case TVGN_DROPHILITE:
            InvalidateItem(dropHilite_);
            dropHilite_ = item;
            InvalidateItem(dropHilite_);
            return TRUE;
        case TVGN_FIRSTVISIBLE:
            if (!item) return FALSE;
            EnsureVisible(item);
            SetTop(RowOf(item));
            return TRUE;
        default: return FALSE;
        }
    }
    case TVM_GETITEMW: return lParam && GetItem(*reinterpret_cast<TVITEMW*>(lParam));
    case TVM_SETITEMW: return lParam && SetItem(*reinterpret_cast<const TVITEMW*>(lParam));
    case TVM_HITTEST: {
        auto* info = reinterpret_cast<TVHITTESTINFO*>(lParam);
        if (!info) return 0;
        info->hItem = ToHandle(HitTest(info->pt, info->flags));
        return reinterpret_cast<LRESULT>(info->hItem);
    }
    case TVM_ENSUREVISIBLE: {
        TItem* item = FromHandle(reinterpret_cast<HTREEITEM>(lParam));
        if (!item) return FALSE;
        EnsureVisible(item);
        return TRUE;
    }
    case TVM_SORTCHILDREN: {
        const HTREEITEM handle = reinterpret_cast<HTREEITEM>(lParam);
        TItem* item = handle == TVI_ROOT || !handle ? nullptr : FromHandle(handle);
        if (handle && handle != TVI_ROOT && !item) return FALSE;
        return SortChildren(item, wParam != 0);
    }
    default: return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

// --- Items --------------------------------------------------------------------------

TTreeViewWindow::TItem* TTreeViewWindow::FromHandle(HTREEITEM handle) const {
    auto* item = reinterpret_cast<TItem*>(handle);
    return live_.contains(item) ? item : nullptr;
}

LRESULT TTreeViewWindow::InsertItem(const TVINSERTSTRUCTW& insert) {
    TItem* parent = nullptr;
    if (insert.hParent && insert.hParent != TVI_ROOT) {
        parent = FromHandle(insert.hParent);
        if (!parent) return 0;
    }
    auto& siblings = parent ? parent->children : roots_;
    auto item = std::make_unique<TItem>();
    item->parent = parent;
    ApplyItem(*item, insert.item);
    size_t at = siblings.size();
    if (insert.hInsertAfter == TVI_FIRST) {
        at = 0;
    } else if (insert.hInsertAfter == TVI_SORT) {
        const String text = Shown(*item, TVIF_TEXT).text;
        at = 0;
        while (at < siblings.size() && AnsiCompareText(Shown(*siblings[at], TVIF_TEXT).text, text) <= 0)
            ++at;
    } else if (insert.hInsertAfter && insert.hInsertAfter != TVI_LAST) {
        TItem* after = FromHandle(insert.hInsertAfter);
        if (after && after->parent == parent) at = size_t(IndexInParent(after)) + 1;
    }
    TItem* raw = item.get();
    live_.insert(raw);
    siblings.insert(siblings.begin() + std::ptrdiff_t(at), std::move(item));
    if (Shows(*raw)) {
        ++rowCount_;
        RowsChanged();
    } else if (parent->children.size() == 1 && Shows(*parent)) {
        InvalidateItem(parent); // its button appears
    }
    return reinterpret_cast<LRESULT>(ToHandle(raw));
}

void TTreeViewWindow::ApplyItem(TItem& item, const TVITEMW& fields) {
    if (fields.mask & TVIF_TEXT) {
        item.textCallback = fields.pszText == LPSTR_TEXTCALLBACKW;
        item.text = item.textCallback || !fields.pszText ? String() : String(fields.pszText);
    }
    if (fields.mask & TVIF_IMAGE) item.image = fields.iImage;
    if (fields.mask & TVIF_SELECTEDIMAGE) item.selectedImage = fields.iSelectedImage;
    if (fields.mask & TVIF_CHILDREN) item.childrenFlag = fields.cChildren;
    if (fields.mask & TVIF_PARAM) item.param = fields.lParam;
    // The selection is the caret's to say.
    if (fields.mask & TVIF_STATE) {
        const UINT mask = fields.stateMask & ~TVIS_SELECTED;
        item.state = (item.state & ~mask) | (fields.state & mask);
    }
}

bool TTreeViewWindow::DeleteItem(TItem* item) {
    DeleteChildren(*item);
    NotifyTree(TVN_DELETEITEMW, 0, item, nullptr);
    if (dropHilite_ == item) dropHilite_ = nullptr;
    if (hot_ == item) hot_ = nullptr;
    if (caret_ == item) {
        caret_ = nullptr;
        if (!destroying_) {
            TItem* next = Next(item);
            if (!next) next = Previous(item);
            if (!next) next = item->parent;
            if (next) Select(next, TVC_UNKNOWN);
        }
    }
    auto& siblings = Siblings(item);
    TItem* parent = item->parent;
    const bool shown = Shows(*item);
    live_.erase(item);
    siblings.erase(siblings.begin() + IndexInParent(item));
    if (shown) {
        --rowCount_;
        RowsChanged();
    } else if (parent->children.empty() && Shows(*parent)) {
        InvalidateItem(parent); // its button goes
    }
    return true;
}

void TTreeViewWindow::DeleteChildren(TItem& item) {
    while (!item.children.empty()) DeleteItem(item.children.back().get());
}

bool TTreeViewWindow::GetItem(TVITEMW& fields) {
    TItem* item = FromHandle(fields.hItem);
    if (!item) return false;
    const TShown shown = Shown(*item, fields.mask & (TVIF_TEXT | TVIF_IMAGE | TVIF_CHILDREN));
    // Without a buffer the text's length (without the terminator) comes back in cchTextMax.
    if ((fields.mask & TVIF_TEXT) && !fields.pszText) fields.cchTextMax = int(shown.text.size());
    if ((fields.mask & TVIF_TEXT) && fields.pszText && fields.cchTextMax > 0) {
        const size_t n = std::min(shown.text.size(), size_t(fields.cchTextMax - 1));
        std::copy_n(shown.text.data(), n, fields.pszText);
        fields.pszText[n] = u'\0';
    }
    if (fields.mask & TVIF_IMAGE) fields.iImage = item->image == I_IMAGECALLBACK ? shown.image : item->image;
    if (fields.mask & TVIF_SELECTEDIMAGE) fields.iSelectedImage = item->selectedImage;
    if (fields.mask & TVIF_CHILDREN) fields.cChildren = shown.hasChildren ? 1 : 0;
    if (fields.mask & TVIF_PARAM) fields.lParam = item->param;
    if (fields.mask & TVIF_STATE) {
        const UINT state = item->state | (item == caret_ ? TVIS_SELECTED : 0u) |
                           (item == dropHilite_ ? TVIS_DROPHILITED : 0u);
        fields.state = state & fields.stateMask;
    }
    return true;
}

bool TTreeViewWindow::SetItem(const TVITEMW& fields) {
    TItem* item = FromHandle(fields.hItem);
    if (!item) return false;
    const bool wasExpanded = item->state & TVIS_EXPANDED;
    ApplyItem(*item, fields);
    const bool expanded = item->state & TVIS_EXPANDED;
    if (expanded != wasExpanded && ExpandedChanged(*item, expanded)) RowsChanged();
    InvalidateItem(item);
    return true;
}

int TTreeViewWindow::IndexInParent(const TItem* item) {
    const auto& siblings = Siblings(const_cast<TItem*>(item));
    for (size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i].get() == item) return int(i);
    return -1;
}

TTreeViewWindow::TItem* TTreeViewWindow::Next(TItem* item) {
    auto& siblings = Siblings(item);
    const size_t i = size_t(IndexInParent(item)) + 1;
    return i < siblings.size() ? siblings[i].get() : nullptr;
}

TTreeViewWindow::TItem* TTreeViewWindow::Previous(TItem* item) {
    const int i = IndexInParent(item);
    return i > 0 ? Siblings(item)[size_t(i) - 1].get() : nullptr;
}

LRESULT TTreeViewWindow::GetNextItem(UINT code, TItem* item) {
    TItem* found = nullptr;
    switch (code) {
    case TVGN_ROOT: found = roots_.empty() ? nullptr : roots_.front().get(); break;
    case TVGN_CARET: found = caret_; break;
    case TVGN_DROPHILITE: found = dropHilite_; break;
    case TVGN_FIRSTVISIBLE: found = top_ < int(Rows().size()) ? Rows()[size_t(top_)] : nullptr; break;
    case TVGN_NEXT: found = item ? Next(item) : nullptr; break;
    case TVGN_PREVIOUS: found = item ? Previous(item) : nullptr; break;
    case TVGN_PARENT: found = item ? item->parent : nullptr; break;
    case TVGN_CHILD: {
        const auto& children = item ? item->children : roots_;
        found = children.empty() ? nullptr : children.front().get();
        break;
    }
    case TVGN_NEXTVISIBLE:
    case TVGN_PREVIOUSVISIBLE: {
        const int row = item ? RowOf(item) : -1;
        if (row < 0) break;
        const int other = row + (code == TVGN_NEXTVISIBLE ? 1 : -1);
        if (other >= 0 && other < int(Rows().size())) found = Rows()[size_t(other)];
        break;
    }
    default: break;
    }
    return reinterpret_cast<LRESULT>(found ? ToHandle(found) : nullptr);
}

bool TTreeViewWindow::SortChildren(TItem* parent, bool recurse) {
    auto& children = parent ? parent->children : roots_;
    std::vector<String> keys;
    for (auto& child : children) keys.push_back(Shown(*child, TVIF_TEXT).text);
    std::vector<std::pair<String, std::unique_ptr<TItem>>> keyed;
    for (size_t i = 0; i < children.size(); ++i) keyed.emplace_back(std::move(keys[i]), std::move(children[i]));
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return AnsiCompareText(a.first, b.first) < 0; });
    for (size_t i = 0; i < keyed.size(); ++i) children[i] = std::move(keyed[i].second);
    if (recurse)
        for (auto& child : children) SortChildren(child.get(), true);
    RowsChanged();
    return true;
}

TTreeViewWindow::TShown TTreeViewWindow::Shown(const TItem& item, UINT mask) {
    TShown shown{item.text, caret_ == &item ? item.selectedImage : item.image, false};
    NMTVDISPINFOW info{};
    info.item.hItem = ToHandle(&item);
    info.item.lParam = item.param;
    info.item.state = item.state;
    char16_t buffer[kTextBufferLength] = {};
    if ((mask & TVIF_TEXT) && item.textCallback) {
        info.item.mask |= TVIF_TEXT;
        info.item.pszText = buffer;
        info.item.cchTextMax = kTextBufferLength;
    }
    if ((mask & TVIF_IMAGE) && item.image == I_IMAGECALLBACK) info.item.mask |= TVIF_IMAGE;
    if ((mask & TVIF_IMAGE) && caret_ == &item && item.selectedImage == I_IMAGECALLBACK)
        info.item.mask |= TVIF_SELECTEDIMAGE;
    if ((mask & TVIF_CHILDREN) && item.childrenFlag == I_CHILDRENCALLBACK) info.item.mask |= TVIF_CHILDREN;
    if (info.item.mask) {
        Notify(info.hdr, TVN_GETDISPINFOW);
        if (info.item.mask & TVIF_TEXT) {
            const char16_t* text = info.item.pszText ? info.item.pszText : u"";
            shown.text = String(text, std::find(text, text + kTextBufferLength, u'\0'));
        }
        if (caret_ == &item && (info.item.mask & TVIF_SELECTEDIMAGE))
            shown.image = info.item.iSelectedImage;
        else if (caret_ != &item && (info.item.mask & TVIF_IMAGE))
            shown.image = info.item.iImage;
    }
    if (item.childrenFlag == I_CHILDRENCALLBACK)
        shown.hasChildren = (info.item.mask & TVIF_CHILDREN) && info.item.cChildren != 0;
    else
        shown.hasChildren = item.childrenFlag > 0 || !item.children.empty();
    return shown;
}

bool TTreeViewWindow::HasChildren(const TItem& item) {
    if (!item.children.empty()) return true;
    return Shown(item, TVIF_CHILDREN).hasChildren;
}

int TTreeViewWindow::Level(const TItem& item) const {
    int level = 0;
    for (const TItem* p = item.parent; p; p = p->parent) ++level;
    return level;
}

LRESULT TTreeViewWindow::Notify(NMHDR& header, UINT code) {
    return SendNotify(hwnd_, code, header);
}

LRESULT TTreeViewWindow::NotifyTree(UINT code, UINT action, TItem* oldItem, TItem* newItem) {
    NMTREEVIEWW info{};
    info.action = action;
    auto fill = [&](TVITEMW& fields, TItem* item) {
        if (!item) return;
        fields.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE;
        fields.hItem = ToHandle(item);
        fields.lParam = item->param;
        fields.state = item->state | (item == caret_ ? TVIS_SELECTED : 0u);
        fields.stateMask = ~0u;
    };
    fill(info.itemOld, oldItem);
    fill(info.itemNew, newItem);
    return Notify(info.hdr, code);
}

// --- Selection and expansion --------------------------------------------------------

bool TTreeViewWindow::Select(TItem* item, UINT cause) {
    if (item == caret_) {
        if (item) EnsureVisible(item);
        return true;
    }
    if (NotifyTree(TVN_SELCHANGINGW, cause, caret_, item)) return false;
    if (item && !FromHandle(ToHandle(item))) return false; // deleted while asking
    TItem* old = caret_ && live_.contains(caret_) ? caret_ : nullptr;
    caret_ = item;
    InvalidateItem(old);
    InvalidateItem(item);
    if (item) EnsureVisible(item);
    NotifyTree(TVN_SELCHANGEDW, cause, old, item);
    return true;
}

bool TTreeViewWindow::Expand(TItem* item, UINT code) {
    if (!item) return false;
    const bool expanded = item->state & TVIS_EXPANDED;
    const UINT action = code & TVE_TOGGLE;
    const bool expand = action == TVE_TOGGLE ? !expanded : action == TVE_EXPAND;
    if (action == 0 || expand == expanded) return false;
    if (!HasChildren(*item)) return false;
    const UINT notified = expand ? TVE_EXPAND : TVE_COLLAPSE;
    if (NotifyTree(TVN_ITEMEXPANDINGW, notified, nullptr, item)) return false;
    if (!live_.contains(item)) return false;
    item->state = expand ? item->state | TVIS_EXPANDED : item->state & ~TVIS_EXPANDED;
    const bool rowsChanged = ExpandedChanged(*item, expand);
    // A collapsed branch cannot hold the caret in sight: it moves up to the branch.
    if (!expand && caret_) {
        for (TItem* p = caret_->parent; p; p = p->parent)
            if (p == item) {
                Select(item, TVC_UNKNOWN);
                break;
            }
    }
    if (rowsChanged) RowsChanged();
    NotifyTree(TVN_ITEMEXPANDEDW, notified, nullptr, item);
    return true;
}

void TTreeViewWindow::ExpandAll(TItem& item) {
    Expand(&item, TVE_EXPAND);
    if (!live_.contains(&item)) return;
    for (size_t i = 0; i < item.children.size(); ++i) ExpandAll(*item.children[i]);
}

// --- Rows and scrolling -------------------------------------------------------------

const std::vector<TTreeViewWindow::TItem*>& TTreeViewWindow::Rows() {
    if (rowsValid_) return rows_;
    rows_.clear();
    auto add = [this](auto& self, const std::vector<std::unique_ptr<TItem>>& items) -> void {
        for (const auto& item : items) {
            rows_.push_back(item.get());
            if (item->state & TVIS_EXPANDED) self(self, item->children);
        }
    };
    add(add, roots_);
    rowsValid_ = true;
    return rows_;
}

bool TTreeViewWindow::Shows(const TItem& item) {
    for (const TItem* p = item.parent; p; p = p->parent)
        if (!(p->state & TVIS_EXPANDED)) return false;
    return true;
}

int TTreeViewWindow::RowsBelow(const TItem& item) {
    int rows = 0;
    for (const auto& child : item.children) rows += 1 + (child->state & TVIS_EXPANDED ? RowsBelow(*child) : 0);
    return rows;
}

bool TTreeViewWindow::ExpandedChanged(const TItem& item, bool expanded) {
    if (!Shows(item) || item.children.empty()) return false;
    const int below = RowsBelow(item);
    rowCount_ += expanded ? below : -below;
    rowsValid_ = false;
    return true;
}

void TTreeViewWindow::RowsChanged() {
    rowsValid_ = false;
    if (destroying_) return;
    SetTop(top_);
    UpdateScrollBar();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

int TTreeViewWindow::RowOf(const TItem* item) {
    const auto& rows = Rows();
    const auto it = std::find(rows.begin(), rows.end(), item);
    return it == rows.end() ? -1 : int(it - rows.begin());
}

int TTreeViewWindow::ClientHeight() const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    return client.bottom;
}

int TTreeViewWindow::RowsInView() const { return std::max(ClientHeight() / std::max(itemHeight_, 1), 1); }

// Rows still in sight move with their pixels; only the uncovered ones are painted.
void TTreeViewWindow::SetTop(int top) {
    const int maxTop = std::max(rowCount_ - RowsInView(), 0);
    top = std::clamp(top, 0, maxTop);
    if (top == top_) return;
    const int dy = (top_ - top) * itemHeight_;
    top_ = top;
    UpdateScrollBar();
    if (destroying_) return;
    if (std::abs(dy) < ClientHeight())
        ScrollWindowEx(hwnd_, 0, dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    else
        InvalidateRect(hwnd_, nullptr, TRUE);
}

void TTreeViewWindow::EnsureVisible(TItem* item) {
    bool expanded = false;
    for (TItem* p = item->parent; p; p = p->parent)
        if (!(p->state & TVIS_EXPANDED)) expanded |= Expand(p, TVE_EXPAND);
    if (expanded && !live_.contains(item)) return;
    const int row = RowOf(item);
    if (row < 0) return;
    if (row < top_)
        SetTop(row);
    else if (row >= top_ + RowsInView())
        SetTop(row - RowsInView() + 1);
}

void TTreeViewWindow::UpdateScrollBar() {
    if (!scrollBar_ || destroying_) return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = std::max(rowCount_ - 1, 0);
    info.nPage = UINT(RowsInView());
    info.nPos = top_;
    SetScrollInfo(hwnd_, SB_VERT, &info, TRUE);
}

void TTreeViewWindow::Scroll(WORD code) {
    if (const std::optional<int> to = ScrollTarget(hwnd_, SB_VERT, code, top_, {1, RowsInView(), rowCount_}))
        SetTop(*to);
}

int TTreeViewWindow::FontHeight() const {
    const HDC dc = GetDC(hwnd_);
    const HGDIOBJ old = font_ ? SelectObject(dc, ToGdiObject(font_)) : nullptr;
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    if (old) SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    return metrics.tmHeight;
}

void TTreeViewWindow::UpdateItemHeight() {
    int imageHeight = 0, imageWidth = 0;
    if (images_) ImageList_GetIconSize(images_, &imageWidth, &imageHeight);
    itemHeight_ = std::max(FontHeight() + 3, imageHeight);
    SetTop(top_);
    UpdateScrollBar();
}

int TTreeViewWindow::IndentOf(const TItem& item) const {
    const bool rootStep = (Style() & TVS_LINESATROOT) && (Style() & (TVS_HASLINES | TVS_HASBUTTONS));
    return (Level(item) + (rootStep ? 1 : 0)) * indent_;
}

int TTreeViewWindow::ImageWidth() const {
    int width = 0, height = 0;
    if (images_) ImageList_GetIconSize(images_, &width, &height);
    return images_ ? width + 2 : 0;
}

bool TTreeViewWindow::GetItemRect(TItem* item, bool textOnly, RECT& rect) {
    const int row = RowOf(item);
    if (row < 0) return false;
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int top = (row - top_) * itemHeight_;
    const RECT whole{0, top, client.right, top + itemHeight_};
    rect = textOnly ? LabelRect(*item, whole) : whole;
    return true;
}

RECT TTreeViewWindow::LabelRect(TItem& item, const RECT& row) {
    const HDC dc = GetDC(hwnd_);
    const HGDIOBJ old = font_ ? SelectObject(dc, ToGdiObject(font_)) : nullptr;
    const String text = Shown(item, TVIF_TEXT).text;
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    if (old) SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    const int left = IndentOf(item) + ImageWidth();
    return RECT{left, row.top, left + int(size.cx) + 4, row.bottom};
}

TTreeViewWindow::TItem* TTreeViewWindow::HitTest(POINT pt, UINT& flags) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    flags = 0;
    if (pt.y < 0) flags |= TVHT_ABOVE;
    if (pt.y >= client.bottom) flags |= TVHT_BELOW;
    if (pt.x < 0) flags |= TVHT_TOLEFT;
    if (pt.x >= client.right) flags |= TVHT_TORIGHT;
    if (flags) return nullptr;
    const int row = top_ + pt.y / std::max(itemHeight_, 1);
    if (row >= int(Rows().size())) {
        flags = TVHT_NOWHERE;
        return nullptr;
    }
    TItem* item = Rows()[size_t(row)];
    const int indent = IndentOf(*item);
    const int rowTop = (row - top_) * itemHeight_;
    const RECT label = LabelRect(*item, RECT{0, rowTop, client.right, rowTop + itemHeight_});
    const bool buttons = (Style() & TVS_HASBUTTONS) && (item->parent || (Style() & TVS_LINESATROOT));
    if (pt.x < indent)
        flags = buttons && pt.x >= indent - indent_ && HasChildren(*item) ? TVHT_ONITEMBUTTON : TVHT_ONITEMINDENT;
    else if (pt.x < label.left)
        flags = TVHT_ONITEMICON;
    else if (pt.x < label.right)
        flags = TVHT_ONITEMLABEL;
    else
        flags = TVHT_ONITEMRIGHT;
    return item;
}

void TTreeViewWindow::InvalidateItem(TItem* item) {
    if (!item || destroying_) return;
    RECT rect{};
    if (GetItemRect(item, false, rect)) InvalidateRect(hwnd_, &rect, TRUE);
}
