#include "platform/win/controls/ComboBoxWindow.h"

#include <algorithm>

#include "platform/win/controls/Controls.h"
#include "platform/win/controls/StandardControls.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/text/Text.h"

namespace {

constexpr int kEditId = 1001;


// The combo's edit: the keys that work the list and the dialog code are the
// combo's; the rest is the edit's own.
LRESULT ComboEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    TComboBoxWindow* combo = ControlState<TComboBoxWindow>(GetParent(edit));
    if (combo) {
        switch (message) {
        case WM_KEYDOWN:
            if (combo->HandleKey(UINT(wParam), false)) return 0;
            break;
        case WM_SYSKEYDOWN:
            if (combo->HandleKey(UINT(wParam), (lParam & (LPARAM(KF_ALTDOWN) << 16)) != 0)) return 0;
            break;
        case WM_MOUSEWHEEL:
            if (combo->HandleWheel(wParam, lParam)) return 0;
            break;
        case WM_GETDLGCODE: return combo->DialogCode(UINT(EditWindowProc(edit, message, wParam, lParam)));
        default: break;
        }
    }
    return EditWindowProc(edit, message, wParam, lParam);
}

} // namespace

LRESULT ComboBoxWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ControlWindowProc<TComboBoxWindow>(hwnd, message, wParam, lParam);
}

// --- Creation -------------------------------------------------------------------------

bool TComboBoxWindow::Create(const CREATESTRUCTW& cs) {
    style_ = cs.style;
    DWORD listStyle = WS_POPUP | WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT;
    if (style_ & CBS_SORT) listStyle |= LBS_SORT;
    if (style_ & CBS_OWNERDRAWFIXED) listStyle |= LBS_OWNERDRAWFIXED;
    if (style_ & CBS_OWNERDRAWVARIABLE) listStyle |= LBS_OWNERDRAWVARIABLE;
    if (!OwnerDraw() || (style_ & CBS_HASSTRINGS)) listStyle |= LBS_HASSTRINGS;
    list_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, u"LISTBOX", u"", listStyle, 0, 0,
                            cs.cx, 0, hwnd_, nullptr, cs.hInstance, nullptr);
    if (!list_) return false;
    SetNotifyTarget(list_, hwnd_);
    if ((style_ & 3) == CBS_DROPDOWN) {
        DWORD editStyle = WS_CHILD | WS_VISIBLE;
        if (style_ & CBS_AUTOHSCROLL) editStyle |= ES_AUTOHSCROLL;
        if (style_ & CBS_UPPERCASE) editStyle |= ES_UPPERCASE;
        if (style_ & CBS_LOWERCASE) editStyle |= ES_LOWERCASE;
        edit_ = CreateWindowExW(0, u"EDIT", u"", editStyle, 0, 0, 0, 0, hwnd_,
                                reinterpret_cast<HMENU>(intptr_t{kEditId}), cs.hInstance, nullptr);
        if (!edit_) return false;
        SetWindowLongPtrW(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ComboEditProc));
    }
    MeasureHeights();
    droppedHeight_ = cs.cy - FaceHeight();
    SetWindowPos(hwnd_, nullptr, 0, 0, cs.cx, FaceHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
    return true;
}

void TComboBoxWindow::Destroy() {
    if (dropped_ && GetCapture() == hwnd_) ReleaseCapture();
    dropped_ = false;
    if (list_) {
        SetNotifyTarget(list_, nullptr);
        DestroyWindow(list_);
        list_ = nullptr;
    }
}

// The field's height from the font, or from the parent for an owner-drawn
// combo, which also tells the height of the list's items.
void TComboBoxWindow::MeasureHeights() {
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, font_ ? HGDIOBJ(font_) : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    fieldHeight_ = tm.tmHeight + 2;
    if (!OwnerDraw()) return;
    const HWND target = NotifyTarget(hwnd_);
    MEASUREITEMSTRUCT measure{ODT_COMBOBOX, UINT(GetWindowLongPtrW(hwnd_, GWLP_ID)), UINT(-1), 0, UINT(fieldHeight_), 0};
    SendMessageW(target, WM_MEASUREITEM, measure.CtlID, reinterpret_cast<LPARAM>(&measure));
    fieldHeight_ = int(measure.itemHeight);
    if (style_ & CBS_OWNERDRAWFIXED) {
        measure.itemID = 0;
        measure.itemHeight = UINT(tm.tmHeight);
        SendMessageW(target, WM_MEASUREITEM, measure.CtlID, reinterpret_cast<LPARAM>(&measure));
        List(LB_SETITEMHEIGHT, 0, LPARAM(measure.itemHeight));
    }
}

void TComboBoxWindow::SetFont(HFONT font, bool redraw) {
    font_ = font;
    List(WM_SETFONT, WPARAM(font), FALSE);
    if (edit_) SendMessageW(edit_, WM_SETFONT, WPARAM(font), FALSE);
    MeasureHeights();
    RECT r{};
    GetWindowRect(hwnd_, &r);
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, FaceHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
    if (redraw) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TComboBoxWindow::Layout() {
    if (!edit_) return;
    const RECT field = FieldRect();
    MoveWindow(edit_, field.left, field.top, field.right - field.left, field.bottom - field.top, TRUE);
}

// --- Items and the field ----------------------------------------------------------------

String TComboBoxWindow::ItemText(int index) const {
    const LRESULT length = List(LB_GETTEXTLEN, WPARAM(index));
    if (length <= 0) return String();
    String text(size_t(length) + 1, u'\0');
    const LRESULT copied = List(LB_GETTEXT, WPARAM(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(size_t(std::clamp<LRESULT>(copied, 0, length)));
    return text;
}

String TComboBoxWindow::EditText() const {
    String text(size_t(std::max<LRESULT>(0, SendMessageW(edit_, WM_GETTEXTLENGTH, 0, 0))) + 1, u'\0');
    const LRESULT copied = SendMessageW(edit_, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(size_t(std::clamp<LRESULT>(copied, 0, LRESULT(text.size()) - 1)));
    return text;
}

void TComboBoxWindow::SetEditText(const String& text) {
    settingEdit_ = true;
    SendMessageW(edit_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    settingEdit_ = false;
}

void TComboBoxWindow::ShowItem(int index) {
    List(LB_SETCURSEL, WPARAM(index));
    if (edit_) {
        SetEditText(index >= 0 ? ItemText(index) : String());
        if (focused_) SendMessageW(edit_, EM_SETSEL, 0, -1);
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void TComboBoxWindow::SelectByUser(int index) {
    ShowItem(index);
    reported_ = index;
    NotifyParent(hwnd_, CBN_SELCHANGE);
}

void TComboBoxWindow::SetFocused(bool focused) {
    if (focused == focused_) return;
    focused_ = focused;
    if (!focused && dropped_) CloseUp(false);
    if (focused && edit_) SendMessageW(edit_, EM_SETSEL, 0, -1);
    InvalidateRect(hwnd_, nullptr, FALSE);
    NotifyParent(hwnd_, focused ? CBN_SETFOCUS : CBN_KILLFOCUS);
}

void TComboBoxWindow::OnEditCommand(WORD code) {
    switch (code) {
    case EN_SETFOCUS: SetFocused(true); break;
    case EN_KILLFOCUS: SetFocused(false); break;
    case EN_UPDATE:
        if (!settingEdit_) NotifyParent(hwnd_, CBN_EDITUPDATE);
        break;
    case EN_CHANGE: {
        if (settingEdit_) break;
        // The selection follows the text: the item it names, or none.
        const String text = EditText();
        List(LB_SETCURSEL, WPARAM(List(LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text.c_str()))));
        reported_ = Current();
        NotifyParent(hwnd_, CBN_EDITCHANGE);
        break;
    }
    default: break;
    }
}

// --- Text ----------------------------------------------------------------------------------

LRESULT TComboBoxWindow::SetText(const char16_t* text) {
    const String value = text ? String(text) : String();
    const int index = int(List(LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(value.c_str())));
    if (edit_) {
        List(LB_SETCURSEL, WPARAM(index));
        SetEditText(value);
        return TRUE;
    }
    if (index < 0) return CB_ERR;
    ShowItem(index);
    return TRUE;
}

LRESULT TComboBoxWindow::GetText(WPARAM size, char16_t* buffer) const {
    if (edit_) return SendMessageW(edit_, WM_GETTEXT, size, reinterpret_cast<LPARAM>(buffer));
    if (!buffer || size == 0) return 0;
    const String text = Current() >= 0 ? ItemText(Current()) : String();
    const size_t copied = std::min<size_t>(text.size(), size - 1);
    std::copy_n(text.data(), copied, buffer);
    buffer[copied] = u'\0';
    return LRESULT(copied);
}

LRESULT TComboBoxWindow::TextLength() const {
    if (edit_) return SendMessageW(edit_, WM_GETTEXTLENGTH, 0, 0);
    return Current() >= 0 ? std::max<LRESULT>(0, List(LB_GETTEXTLEN, WPARAM(Current()))) : 0;
}

// --- Owner draw and colours of the parts --------------------------------------------------------

// The list's owner-draw requests go to the combo's parent as the combo's.
void TComboBoxWindow::ForwardOwnerItem(UINT message, LPARAM lParam) {
    const UINT id = UINT(GetWindowLongPtrW(hwnd_, GWLP_ID));
    if (message == WM_DRAWITEM) {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        item->CtlType = ODT_COMBOBOX;
        item->CtlID = id;
        item->hwndItem = hwnd_;
    } else if (message == WM_MEASUREITEM) {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        item->CtlType = ODT_COMBOBOX;
        item->CtlID = id;
    } else {
        auto* item = reinterpret_cast<DELETEITEMSTRUCT*>(lParam);
        item->CtlType = ODT_COMBOBOX;
        item->CtlID = id;
        item->hwndItem = hwnd_;
    }
    SendMessageW(NotifyTarget(hwnd_), message, id, lParam);
}

UINT TComboBoxWindow::DialogCode(UINT base) const {
    return base | DLGC_WANTARROWS | DLGC_WANTCHARS | (dropped_ ? DLGC_WANTALLKEYS : 0);
}

// --- Messages ---------------------------------------------------------------------------------

LRESULT TComboBoxWindow::OnComboMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (message) {
    case CB_ADDSTRING: return List(LB_ADDSTRING, 0, lParam);
    case CB_INSERTSTRING: return List(LB_INSERTSTRING, wParam, lParam);
    case CB_DELETESTRING: {
        const LRESULT result = List(LB_DELETESTRING, wParam);
        InvalidateRect(hwnd_, nullptr, FALSE);
        return result;
    }
    case CB_RESETCONTENT:
        List(LB_RESETCONTENT);
        if (edit_) SetEditText(String());
        InvalidateRect(hwnd_, nullptr, FALSE);
        return CB_OKAY;
    case CB_GETCOUNT: return List(LB_GETCOUNT);
    case CB_GETLBTEXT: return List(LB_GETTEXT, wParam, lParam);
    case CB_GETLBTEXTLEN: return List(LB_GETTEXTLEN, wParam);
    case CB_GETITEMDATA: return List(LB_GETITEMDATA, wParam);
    case CB_SETITEMDATA: return List(LB_SETITEMDATA, wParam, lParam);
    case CB_FINDSTRING: return List(LB_FINDSTRING, wParam, lParam);
    case CB_FINDSTRINGEXACT: return List(LB_FINDSTRINGEXACT, wParam, lParam);
    case CB_GETTOPINDEX: return List(LB_GETTOPINDEX);
    case CB_SETTOPINDEX: return List(LB_SETTOPINDEX, wParam);
    case CB_SELECTSTRING: {
        const LRESULT index = List(LB_FINDSTRING, wParam, lParam);
        if (index >= 0) ShowItem(int(index));
        return index;
    }
    case CB_SETCURSEL: {
        const int index = int(wParam);
        const bool valid = index >= 0 && index < Count();
        ShowItem(valid ? index : -1);
        return valid ? index : CB_ERR;
    }
    case CB_GETCURSEL: return Current();
    case CB_SETITEMHEIGHT:
        if (int(wParam) != -1) return List(LB_SETITEMHEIGHT, wParam, lParam);
        if (lParam <= 0) return CB_ERR;
        fieldHeight_ = int(lParam);
        SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        Layout();
        return CB_OKAY;
    case CB_GETITEMHEIGHT: return int(wParam) == -1 ? fieldHeight_ : List(LB_GETITEMHEIGHT, wParam);
    case CB_SHOWDROPDOWN:
        if (wParam)
            DropDown();
        else
            CloseUp(false);
        return TRUE;
    case CB_GETDROPPEDSTATE: return dropped_;
    case CB_SETDROPPEDWIDTH:
        droppedWidth_ = int(wParam);
        [[fallthrough]];
    case CB_GETDROPPEDWIDTH: {
        const RECT r = DroppedRect();
        return r.right - r.left;
    }
    case CB_GETDROPPEDCONTROLRECT:
        if (lParam) *reinterpret_cast<RECT*>(lParam) = DroppedRect();
        return TRUE;
    case CB_GETEDITSEL: return edit_ ? SendMessageW(edit_, EM_GETSEL, wParam, lParam) : CB_ERR;
    case CB_SETEDITSEL:
        if (!edit_) return CB_ERR;
        SendMessageW(edit_, EM_SETSEL, WPARAM(SHORT(LOWORD(lParam))), LPARAM(SHORT(HIWORD(lParam))));
        return TRUE;
    case CB_LIMITTEXT:
        if (!edit_) return CB_ERR;
        SendMessageW(edit_, EM_LIMITTEXT, wParam, 0);
        return TRUE;
    default: handled = false; return 0;
    }
}

LRESULT TComboBoxWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        // Scroll bars asked of a combo belong to its list, which always has one.
        SetWindowLongPtrW(hwnd_, GWL_STYLE, GetWindowLongPtrW(hwnd_, GWL_STYLE) & ~LONG_PTR(WS_VSCROLL | WS_HSCROLL));
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    case WM_CREATE: return Create(*reinterpret_cast<const CREATESTRUCTW*>(lParam)) ? 0 : -1;
    case WM_DESTROY: Destroy(); return 0;
    case WM_PAINT:
    case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_WINDOWPOSCHANGING: {
        // The window is the face; a taller height sets the list's.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(pos->flags & SWP_NOSIZE) && fieldHeight_ > 0) {
            if (pos->cy > FaceHeight()) droppedHeight_ = pos->cy - FaceHeight();
            pos->cy = FaceHeight();
        }
        return 0;
    }
    case WM_SIZE: Layout(); return 0;
    case WM_SETFONT: SetFont(reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_SETTEXT: return SetText(reinterpret_cast<const char16_t*>(lParam));
    case WM_GETTEXT: return GetText(wParam, reinterpret_cast<char16_t*>(lParam));
    case WM_GETTEXTLENGTH: return TextLength();
    case WM_GETDLGCODE: return DialogCode(0);
    case WM_SETFOCUS:
        if (edit_)
            SetFocus(edit_);
        else
            SetFocused(true);
        return 0;
    case WM_KILLFOCUS:
        if (!edit_) SetFocused(false);
        return 0;
    case WM_ENABLE:
        if (edit_) EnableWindow(edit_, BOOL(wParam));
        if (!wParam && dropped_) CloseUp(false);
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    case WM_KEYDOWN:
        if (HandleKey(UINT(wParam), false)) return 0;
        break;
    case WM_SYSKEYDOWN:
        if (HandleKey(UINT(wParam), (lParam & (LPARAM(KF_ALTDOWN) << 16)) != 0)) return 0;
        break;
    case WM_CHAR:
        if (!edit_) TypeAhead(char16_t(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        if (HandleWheel(wParam, lParam)) return 0;
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE: OnMouse(message, lParam); return 0;
    case WM_CAPTURECHANGED:
        if (dropped_ && !trackingScroll_ && reinterpret_cast<HWND>(lParam) != hwnd_) CloseUp(false);
        return 0;
    case WM_CANCELMODE:
        CloseUp(false);
        return 0;
    case WM_COMMAND:
        if (edit_ && reinterpret_cast<HWND>(lParam) == edit_) OnEditCommand(HIWORD(wParam));
        return 0;
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM: ForwardOwnerItem(message, lParam); return TRUE;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX: {
        // The parts' colours are the parent's, asked for with the part's window.
        const HWND target = NotifyTarget(hwnd_);
        const LRESULT brush = target ? SendMessageW(target, message, wParam, lParam) : 0;
        return brush ? brush : DefWindowProcW(hwnd_, message, wParam, lParam);
    }
    default: {
        bool handled = false;
        const LRESULT result = OnComboMessage(message, wParam, lParam, handled);
        if (handled) return result;
        break;
    }
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}
