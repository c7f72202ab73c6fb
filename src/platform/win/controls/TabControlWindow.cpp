#include "platform/win/controls/TabControlWindow.h"

#include <algorithm>

#include "platform/win/controls/ControlWindow.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/controls/StandardControls.h"

LRESULT TabControlWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ControlWindowProc<TTabControlWindow>(hwnd, message, wParam, lParam);
}

LRESULT TTabControlWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case TCM_GETITEMCOUNT: return LRESULT(tabs_.size());
    case TCM_INSERTITEMW: return lParam ? InsertItem(int(wParam), *reinterpret_cast<const TCITEMW*>(lParam)) : -1;
    case TCM_DELETEITEM: return DeleteItem(int(wParam));
    case TCM_DELETEALLITEMS: DeleteAll(); return TRUE;
    case TCM_GETITEMW: return lParam && GetItem(int(wParam), *reinterpret_cast<TCITEMW*>(lParam));
    case TCM_SETITEMW: return lParam && SetItem(int(wParam), *reinterpret_cast<const TCITEMW*>(lParam));
    case TCM_GETCURSEL: return selected_;
    case TCM_SETCURSEL: return SetCurSel(int(wParam));
    case TCM_GETROWCOUNT: return 1;
    case TCM_GETITEMRECT: {
        if (int(wParam) < 0 || size_t(wParam) >= tabs_.size() || !lParam) return FALSE;
        *reinterpret_cast<RECT*>(lParam) = ItemRect(int(wParam));
        return TRUE;
    }
    case TCM_HITTEST: {
        if (!lParam) return -1;
        auto* info = reinterpret_cast<TCHITTESTINFO*>(lParam);
        return HitTest(info->pt, &info->flags);
    }
    case TCM_ADJUSTRECT:
        if (lParam) AdjustRect(wParam != 0, *reinterpret_cast<RECT*>(lParam));
        return 0;
    case TCM_GETIMAGELIST: return reinterpret_cast<LRESULT>(images_);
    case TCM_SETIMAGELIST: {
        HIMAGELIST previous = images_;
        images_ = reinterpret_cast<HIMAGELIST>(lParam);
        layoutValid_ = false;
        InvalidateRect(hwnd_, nullptr, TRUE);
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        layoutValid_ = false;
        if (LOWORD(lParam)) InvalidateRect(hwnd_, nullptr, TRUE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_KEYDOWN: OnKeyDown(wParam); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: OnButtonDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        focused_ = message == WM_SETFOCUS;
        InvalidateTab(selected_);
        return 0;
    case WM_HSCROLL:
        if (HWND(lParam) == scroller_ && scroller_ && LOWORD(wParam) == SB_THUMBPOSITION) Scroll(short(HIWORD(wParam)));
        return 0;
    case WM_SIZE: layoutValid_ = false; [[fallthrough]];
    case WM_ENABLE: InvalidateRect(hwnd_, nullptr, TRUE); return 0;
    case WM_ERASEBKGND: return TRUE; // painting covers everything
    case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_PAINT: return PaintControl(hwnd_, wParam, [this](HDC dc, const RECT&) { Paint(dc); });
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

int TTabControlWindow::InsertItem(int index, const TCITEMW& item) {
    if (index < 0) return -1;
    index = std::min(index, int(tabs_.size()));
    tabs_.insert(tabs_.begin() + index, TTab{});
    SetItem(index, item);
    if (selected_ >= index)
        ++selected_;
    else if (selected_ < 0 && tabs_.size() == 1)
        selected_ = 0;
    layoutValid_ = false;
    InvalidateRect(hwnd_, nullptr, TRUE);
    return index;
}

bool TTabControlWindow::DeleteItem(int index) {
    if (index < 0 || size_t(index) >= tabs_.size()) return false;
    tabs_.erase(tabs_.begin() + index);
    if (selected_ == index)
        selected_ = -1;
    else if (selected_ > index)
        --selected_;
    layoutValid_ = false;
    InvalidateRect(hwnd_, nullptr, TRUE);
    return true;
}

void TTabControlWindow::DeleteAll() {
    tabs_.clear();
    selected_ = -1;
    layoutValid_ = false;
    InvalidateRect(hwnd_, nullptr, TRUE);
}

bool TTabControlWindow::GetItem(int index, TCITEMW& item) const {
    if (index < 0 || size_t(index) >= tabs_.size()) return false;
    const TTab& tab = tabs_[size_t(index)];
    if (item.mask & TCIF_TEXT) {
        if (!item.pszText || item.cchTextMax <= 0) return false;
        const int n = std::min(tab.text.Length(), item.cchTextMax - 1);
        std::copy_n(tab.text.c_str(), n, item.pszText);
        item.pszText[n] = 0;
    }
    if (item.mask & TCIF_IMAGE) item.iImage = tab.image;
    if (item.mask & TCIF_PARAM) item.lParam = tab.param;
    if (item.mask & TCIF_STATE) item.dwState = tab.state & item.dwStateMask;
    return true;
}

bool TTabControlWindow::SetItem(int index, const TCITEMW& item) {
    if (index < 0 || size_t(index) >= tabs_.size()) return false;
    TTab& tab = tabs_[size_t(index)];
    if (item.mask & TCIF_TEXT) tab.text = item.pszText ? String(item.pszText) : String();
    if (item.mask & TCIF_IMAGE) tab.image = item.iImage;
    if (item.mask & TCIF_PARAM) tab.param = item.lParam;
    if (item.mask & TCIF_STATE) tab.state = (tab.state & ~item.dwStateMask) | (item.dwState & item.dwStateMask);
    layoutValid_ = false;
    InvalidateRect(hwnd_, nullptr, TRUE);
    return true;
}

// -1 leaves no tab selected.
int TTabControlWindow::SetCurSel(int index) {
    if (index < -1 || (index >= 0 && size_t(index) >= tabs_.size())) return -1;
    const int previous = selected_;
    if (index != previous) {
        selected_ = index;
        EnsureVisible(index);
        InvalidateRect(hwnd_, nullptr, TRUE);
    }
    return previous;
}

LRESULT TTabControlWindow::Notify(UINT code) {
    NMHDR header{};
    return SendNotify(hwnd_, code, header);
}

void TTabControlWindow::SelectByUser(int index) {
    if (index < 0 || size_t(index) >= tabs_.size() || index == selected_) return;
    const HWND self = hwnd_;
    if (Notify(TCN_SELCHANGING) || !IsWindow(self)) return;
    SetCurSel(index);
    Notify(TCN_SELCHANGE);
}

void TTabControlWindow::OnKeyDown(WPARAM key) {
    const int last = int(tabs_.size()) - 1;
    switch (key) {
    case VK_LEFT: SelectByUser(std::max(0, selected_ - 1)); break;
    case VK_RIGHT: SelectByUser(std::min(last, selected_ + 1)); break;
    case VK_HOME: SelectByUser(0); break;
    case VK_END: SelectByUser(last); break;
    }
}

void TTabControlWindow::OnButtonDown(POINT pt) {
    const int hit = HitTest(pt, nullptr);
    if (hit < 0) return;
    if (!(GetWindowLongPtrW(hwnd_, GWL_STYLE) & TCS_FOCUSNEVER) && GetFocus() != hwnd_) SetFocus(hwnd_);
    SelectByUser(hit);
}

int TTabControlWindow::HitTest(POINT pt, UINT* flags) {
    Layout();
    // The selected tab stands out of the row and is tested first.
    if (pt.x >= VisibleRight()) {
        if (flags) *flags = TCHT_NOWHERE;
        return -1;
    }
    auto hits = [&](int index) {
        const RECT r = ItemRect(index);
        return pt.x >= std::max(0, int(r.left)) && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom;
    };
    int hit = -1;
    if (selected_ >= 0 && hits(selected_)) hit = selected_;
    for (int i = 0; hit < 0 && size_t(i) < tabs_.size(); ++i)
        if (hits(i)) hit = i;
    if (flags) *flags = hit < 0 ? TCHT_NOWHERE : TCHT_ONITEMLABEL;
    return hit;
}
