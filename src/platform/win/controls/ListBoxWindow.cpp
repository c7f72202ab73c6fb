#include "platform/win/controls/ListBoxWindow.h"

#include <algorithm>
#include <cstring>

#include "platform/win/controls/Controls.h"
#include "platform/win/controls/ScrollTarget.h"
#include "platform/win/controls/StandardControls.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/nc/ScrollBars.h"
#include "platform/win/text/Text.h"

LRESULT ListBoxWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ControlWindowProc<TListBoxWindow>(hwnd, message, wParam, lParam);
}

namespace {

constexpr int kMaxItemHeight = 255;

int Index(WPARAM wParam) { return int(INT_PTR(wParam)); }

} // namespace

LRESULT TListBoxWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: Create(); return 0;
    case WM_SIZE:
        KeepIntegralHeight();
        SetTop(top_);
        UpdateScrollBar();
        return 0;
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        if (!OwnerDraw()) itemHeight_ = FontHeight();
        KeepIntegralHeight();
        UpdateScrollBar();
        if (LOWORD(lParam)) InvalidateRect(hwnd_, nullptr, TRUE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_SETREDRAW: {
        const LRESULT result = DefWindowProcW(hwnd_, message, wParam, lParam);
        redraw_ = wParam != 0;
        if (redraw_) {
            SetTop(top_);
            UpdateScrollBar();
            InvalidateRect(hwnd_, nullptr, TRUE);
        }
        return result;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: return PaintControl(hwnd_, wParam, [this](HDC dc, const RECT& area) { Paint(dc, area); });
    case WM_PRINTCLIENT: {
        RECT all{0, 0, ClientWidth(), ClientHeight()};
        Paint(reinterpret_cast<HDC>(wParam), all);
        return 0;
    }
    case WM_ENABLE: InvalidateRect(hwnd_, nullptr, TRUE); return 0;
    case WM_SETFOCUS:
        focused_ = true;
        RedrawItem(caret_, ODA_FOCUS);
        NotifyParent(hwnd_, LBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        focused_ = false;
        RedrawItem(caret_, ODA_FOCUS);
        NotifyParent(hwnd_, LBN_KILLFOCUS);
        return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN: KeyDown(UINT(wParam)); return 0;
    case WM_CHAR: Char(char16_t(wParam)); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        ButtonDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, UINT(wParam), message == WM_LBUTTONDBLCLK);
        return 0;
    case WM_MOUSEMOVE: MouseMove(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, UINT(wParam)); return 0;
    case WM_LBUTTONUP: ButtonUp(); return 0;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        if (tracking_) {
            tracking_ = false;
            if (GetCapture() == hwnd_) ReleaseCapture();
        }
        return 0;
    case WM_MOUSEACTIVATE:
        if (IsPopup()) return MA_NOACTIVATE;
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    case WM_MOUSEWHEEL: Wheel(GET_WHEEL_DELTA_WPARAM(wParam)); return 0;
    case WM_VSCROLL: Scroll(LOWORD(wParam)); return 0;

    case LB_ADDSTRING: return AddItem(-1, lParam, Style() & LBS_SORT);
    case LB_INSERTSTRING:
        if (Index(wParam) < -1 || Index(wParam) > items_.Count()) return LB_ERR;
        return AddItem(Index(wParam), lParam, false);
    case LB_DELETESTRING: return DeleteItem(Index(wParam));
    case LB_RESETCONTENT: ResetContent(); return LB_OKAY;
    case LB_GETCOUNT: return items_.Count();
    case LB_GETTEXT: return GetText(Index(wParam), reinterpret_cast<char16_t*>(lParam));
    case LB_GETTEXTLEN: return GetTextLength(Index(wParam));
    case LB_FINDSTRING: return FindItem(Index(wParam), lParam, false);
    case LB_FINDSTRINGEXACT: return FindItem(Index(wParam), lParam, true);
    case LB_SELECTSTRING: {
        if (MultiSelect()) return LB_ERR;
        const LRESULT found = FindItem(Index(wParam), lParam, false);
        if (found != LB_ERR) SetCurSel(int(found));
        return found;
    }
    case LB_GETITEMDATA: return items_.Valid(Index(wParam)) ? LRESULT(items_[Index(wParam)].data) : LB_ERR;
    case LB_SETITEMDATA:
        if (Index(wParam) == -1) {
            for (int i = 0; i < items_.Count(); ++i) items_.SetData(i, ULONG_PTR(lParam));
            return LB_OKAY;
        }
        if (!items_.Valid(Index(wParam))) return LB_ERR;
        items_.SetData(Index(wParam), ULONG_PTR(lParam));
        return LB_OKAY;

    case LB_SETCURSEL: return SetCurSel(Index(wParam));
    case LB_GETCURSEL:
        if (MultiSelect()) return items_.Valid(caret_) ? caret_ : LB_ERR;
        return current_;
    case LB_SETSEL: return SetSel(wParam != 0, int(lParam));
    case LB_GETSEL: return items_.Valid(Index(wParam)) ? LRESULT(IsSelected(Index(wParam))) : LB_ERR;
    case LB_GETSELCOUNT: return MultiSelect() ? items_.SelectedCount() : LB_ERR;
    case LB_GETSELITEMS: return GetSelItems(int(wParam), reinterpret_cast<int*>(lParam));
    case LB_SELITEMRANGE: return SelItemRange(wParam != 0, LOWORD(lParam), HIWORD(lParam));
    case LB_SETCARETINDEX: return SetCaretIndex(Index(wParam));
    case LB_GETCARETINDEX: return caret_;
    case LB_SETANCHORINDEX:
        if (!items_.Valid(Index(wParam))) return LB_ERR;
        anchor_ = Index(wParam);
        return LB_OKAY;
    case LB_GETANCHORINDEX: return anchor_;

    case LB_SETTOPINDEX:
        if (!items_.Valid(Index(wParam)) && !(Index(wParam) == 0 && items_.Count() == 0)) return LB_ERR;
        SetTop(Index(wParam));
        return LB_OKAY;
    case LB_GETTOPINDEX: return top_;
    case LB_SETITEMHEIGHT: return SetItemHeight(Index(wParam), int(LOWORD(lParam)));
    case LB_GETITEMHEIGHT: return GetItemHeight(Index(wParam));
    case LB_GETITEMRECT: {
        if (!items_.Valid(Index(wParam))) return LB_ERR;
        *reinterpret_cast<RECT*>(lParam) = ItemRect(Index(wParam));
        return LB_OKAY;
    }
    case LB_ITEMFROMPOINT: return ItemFromPoint(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    default: return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

DWORD TListBoxWindow::Style() const { return DWORD(GetWindowLongPtrW(hwnd_, GWL_STYLE)); }

// --- Items ----------------------------------------------------------------------------

void TListBoxWindow::Create() {
    // Hiding the bar takes WS_VSCROLL away; the list keeps it for when there is something to scroll.
    scrollBar_ = Style() & WS_VSCROLL;
    itemHeight_ = FontHeight();
    if (Style() & LBS_OWNERDRAWFIXED) itemHeight_ = MeasureItem(0, 0);
    KeepIntegralHeight();
    UpdateScrollBar();
}

LRESULT TListBoxWindow::AddItem(int index, LPARAM lParam, bool sorted) {
    TListBoxItems::TItem item;
    if (HasStrings())
        item.text = lParam ? String(reinterpret_cast<const char16_t*>(lParam)) : String();
    else
        item.data = ULONG_PTR(lParam);
    if (sorted && HasStrings()) index = items_.SortedPosition(item.text);
    const ULONG_PTR data = item.data;
    index = items_.Insert(index, std::move(item));
    if (VariableHeight()) items_.SetHeight(index, MeasureItem(index, data));
    if (current_ >= index) ++current_;
    if (anchor_ >= index) ++anchor_;
    if (caret_ >= index && items_.Count() > 1) ++caret_;
    if (top_ > index) ++top_;
    UpdateScrollBar();
    InvalidateFrom(index);
    return index;
}

LRESULT TListBoxWindow::DeleteItem(int index) {
    if (!items_.Valid(index)) return LB_ERR;
    InvalidateFrom(index);
    items_.Delete(index);
    if (current_ == index)
        current_ = -1;
    else if (current_ > index)
        --current_;
    if (anchor_ == index)
        anchor_ = -1;
    else if (anchor_ > index)
        --anchor_;
    if (caret_ > index || caret_ >= items_.Count()) caret_ = std::max(caret_ - 1, 0);
    if (top_ > index) --top_;
    SetTop(top_);
    UpdateScrollBar();
    return items_.Count();
}

void TListBoxWindow::ResetContent() {
    items_.Clear();
    current_ = -1;
    anchor_ = -1;
    caret_ = 0;
    top_ = 0;
    UpdateScrollBar();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT TListBoxWindow::GetText(int index, char16_t* buffer) const {
    if (!items_.Valid(index) || !buffer) return LB_ERR;
    if (!HasStrings()) {
        const ULONG_PTR data = items_[index].data;
        std::memcpy(buffer, &data, sizeof data);
        return sizeof data;
    }
    const String& text = items_[index].text;
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = 0;
    return LRESULT(text.size());
}

LRESULT TListBoxWindow::GetTextLength(int index) const {
    if (!items_.Valid(index)) return LB_ERR;
    return HasStrings() ? LRESULT(items_[index].text.size()) : LRESULT(sizeof(ULONG_PTR));
}

LRESULT TListBoxWindow::FindItem(int start, LPARAM lParam, bool exact) const {
    if (!HasStrings()) {
        for (int step = 1; step <= items_.Count(); ++step) {
            const int i = (std::max(start, -1) + step) % items_.Count();
            if (items_[i].data == ULONG_PTR(lParam)) return i;
        }
        return LB_ERR;
    }
    if (!lParam) return LB_ERR;
    return items_.Find(String(reinterpret_cast<const char16_t*>(lParam)), start, exact);
}

int TListBoxWindow::MeasureItem(int index, ULONG_PTR data) {
    MEASUREITEMSTRUCT measure{ODT_LISTBOX, UINT(GetDlgCtrlID(hwnd_)), UINT(index), UINT(ClientWidth()),
                              UINT(itemHeight_), data};
    if (const HWND target = NotifyTarget(hwnd_))
        SendMessageW(target, WM_MEASUREITEM, WPARAM(measure.CtlID), reinterpret_cast<LPARAM>(&measure));
    return std::clamp(int(measure.itemHeight), 1, kMaxItemHeight);
}

int TListBoxWindow::FontHeight() const {
    const HDC dc = GetDC(hwnd_);
    const HGDIOBJ old = font_ ? SelectObject(dc, ToGdiObject(font_)) : nullptr;
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    if (old) SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    return std::max(int(metrics.tmHeight), 1);
}

LRESULT TListBoxWindow::SetItemHeight(int index, int height) {
    if (height <= 0 || height > kMaxItemHeight) return LB_ERR;
    if (VariableHeight()) {
        if (!items_.Valid(index)) return LB_ERR;
        items_.SetHeight(index, height);
    } else {
        itemHeight_ = height;
        KeepIntegralHeight();
    }
    SetTop(top_);
    UpdateScrollBar();
    InvalidateRect(hwnd_, nullptr, TRUE);
    return LB_OKAY;
}

LRESULT TListBoxWindow::GetItemHeight(int index) const {
    if (!VariableHeight()) return itemHeight_;
    return items_.Valid(index) ? items_[index].height : LB_ERR;
}

// --- Selection ------------------------------------------------------------------------

bool TListBoxWindow::IsSelected(int index) const {
    return MultiSelect() ? items_[index].selected : index == current_;
}

void TListBoxWindow::SelectOnly(int index) {
    if (MultiSelect()) {
        for (int i = 0, n = items_.Count(); i < n && items_.SelectedCount() > 0; ++i)
            if (i != index) SetSelected(i, false);
        if (index >= 0) SetSelected(index, true);
        if (index >= 0) SetCaret(index);
        return;
    }
    // The selection and the caret move together: each row changed is drawn once.
    const int old = current_, oldCaret = caret_;
    current_ = index;
    if (index >= 0) caret_ = index;
    if (old >= 0 && old != index) RedrawItem(old, ODA_SELECT);
    if (focused_ && oldCaret != caret_ && oldCaret != old) RedrawItem(oldCaret, ODA_FOCUS);
    if (index >= 0 && (old != index || oldCaret != caret_)) RedrawItem(index, ODA_SELECT);
}

void TListBoxWindow::SelectRange(int first, int last, bool selected) {
    if (first > last) std::swap(first, last);
    for (int i = std::max(first, 0); i <= last && i < items_.Count(); ++i) SetSelected(i, selected);
}

void TListBoxWindow::SetSelected(int index, bool selected) {
    if (items_.Select(index, selected)) RedrawItem(index, ODA_SELECT);
}

void TListBoxWindow::SetCaret(int index) {
    if (index == caret_) return;
    const int old = caret_;
    caret_ = index;
    if (focused_) {
        RedrawItem(old, ODA_FOCUS);
        RedrawItem(index, ODA_FOCUS);
    }
}

LRESULT TListBoxWindow::SetCurSel(int index) {
    if (MultiSelect() || index < -1 || index >= items_.Count()) return LB_ERR;
    SelectOnly(index);
    if (index < 0) return LB_ERR;
    EnsureVisible(index);
    return index;
}

LRESULT TListBoxWindow::SetSel(bool selected, int index) {
    if (!MultiSelect()) return LB_ERR;
    if (index == -1) {
        SelectRange(0, items_.Count() - 1, selected);
        return LB_OKAY;
    }
    if (!items_.Valid(index)) return LB_ERR;
    SetSelected(index, selected);
    return LB_OKAY;
}

LRESULT TListBoxWindow::GetSelItems(int max, int* indexes) const {
    if (!MultiSelect()) return LB_ERR;
    int found = 0;
    for (int i = 0; i < items_.Count() && found < max && found < items_.SelectedCount(); ++i)
        if (items_[i].selected) indexes[found++] = i;
    return found;
}

LRESULT TListBoxWindow::SelItemRange(bool selected, int first, int last) {
    if (!MultiSelect()) return LB_ERR;
    SelectRange(first, last, selected);
    return LB_OKAY;
}

LRESULT TListBoxWindow::SetCaretIndex(int index) {
    if (!items_.Valid(index)) return LB_ERR;
    if (!MultiSelect()) return SetCurSel(index) == LB_ERR ? LB_ERR : LB_OKAY;
    SetCaret(index);
    EnsureVisible(index);
    return LB_OKAY;
}

void TListBoxWindow::NotifySelChange() {
    if (Notifies()) NotifyParent(hwnd_, LBN_SELCHANGE);
}

// --- Geometry and scrolling ----------------------------------------------------------

int TListBoxWindow::RowHeight(int index) const {
    return VariableHeight() && items_.Valid(index) ? items_[index].height : itemHeight_;
}

int TListBoxWindow::ClientHeight() const {
    RECT r{};
    GetClientRect(hwnd_, &r);
    return r.bottom;
}

int TListBoxWindow::ClientWidth() const {
    RECT r{};
    GetClientRect(hwnd_, &r);
    return r.right;
}

int TListBoxWindow::RowsFrom(int top) const {
    const int height = ClientHeight();
    if (!VariableHeight()) return std::max(height / itemHeight_, 1);
    int rows = 0;
    for (int i = top, y = 0; i < items_.Count() && (y += RowHeight(i)) <= height; ++i) ++rows;
    return std::max(rows, 1);
}

int TListBoxWindow::MaxTop() const {
    const int count = items_.Count();
    if (!VariableHeight()) return std::max(count - RowsFrom(0), 0);
    const int height = ClientHeight();
    int top = count;
    for (int y = 0; top > 0 && (y += RowHeight(top - 1)) <= height;) --top;
    return std::min(top, std::max(count - 1, 0));
}

RECT TListBoxWindow::ItemRect(int index) const {
    int y = 0;
    if (!VariableHeight())
        y = (index - top_) * itemHeight_;
    else if (index >= top_)
        for (int i = top_; i < index; ++i) y += RowHeight(i);
    else
        for (int i = index; i < top_; ++i) y -= RowHeight(i);
    return RECT{0, y, ClientWidth(), y + RowHeight(index)};
}

LRESULT TListBoxWindow::ItemFromPoint(POINT pt) const {
    const int count = items_.Count();
    bool outside = pt.x < 0 || pt.x >= ClientWidth() || pt.y < 0 || pt.y >= ClientHeight();
    int index = top_;
    if (pt.y < 0) {
        index = std::max(top_ - 1, 0);
    } else if (!VariableHeight()) {
        index = top_ + pt.y / itemHeight_;
    } else {
        for (int y = RowHeight(index); index < count && y <= pt.y; y += RowHeight(++index)) {}
    }
    if (index >= count) {
        index = std::max(count - 1, 0);
        outside = true;
    }
    return MAKELONG(WORD(index), WORD(outside ? 1 : 0));
}

void TListBoxWindow::SetTop(int top) {
    top = std::clamp(top, 0, MaxTop());
    if (top == top_) return;
    const int rows = top - top_;
    const bool small = !VariableHeight() && std::abs(rows) < RowsFrom(top_) && Redrawing();
    top_ = top;
    if (small)
        ScrollWindowEx(hwnd_, 0, -rows * itemHeight_, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    else
        InvalidateRect(hwnd_, nullptr, TRUE);
    UpdateScrollBar();
}

void TListBoxWindow::EnsureVisible(int index) {
    if (index < top_)
        SetTop(index);
    else if (index >= top_ + RowsFrom(top_)) {
        int top = index;
        if (!VariableHeight())
            top = index - RowsFrom(0) + 1;
        else
            for (int y = RowHeight(index); top > 0 && (y += RowHeight(top - 1)) <= ClientHeight();) --top;
        SetTop(top);
    }
}

void TListBoxWindow::UpdateScrollBar() {
    if (!scrollBar_ || !Redrawing()) return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = std::max(items_.Count() - 1, 0);
    info.nPage = UINT(RowsFrom(top_));
    info.nPos = top_;
    if (Style() & LBS_DISABLENOSCROLL) info.fMask |= SIF_DISABLENOSCROLL;
    SetScrollInfo(hwnd_, SB_VERT, &info, TRUE);
}

void TListBoxWindow::Scroll(WORD code) {
    const TScrollSteps steps{1, std::max(RowsFrom(top_) - 1, 1), MaxTop()};
    if (const std::optional<int> to = ScrollTarget(hwnd_, SB_VERT, code, top_, steps)) SetTop(*to);
}

// Without LBS_NOINTEGRALHEIGHT a list of fixed rows is as high as its whole rows.
void TListBoxWindow::KeepIntegralHeight() {
    if ((Style() & LBS_NOINTEGRALHEIGHT) || VariableHeight() || sizing_) return;
    const int extra = ClientHeight() % itemHeight_;
    if (extra == 0 || ClientHeight() < itemHeight_) return;
    RECT window{};
    GetWindowRect(hwnd_, &window);
    sizing_ = true;
    SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left, window.bottom - window.top - extra,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    sizing_ = false;
}

