#include <algorithm>

#include "platform/win/controls/ComboBoxWindow.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/text/Text.h"

namespace {

constexpr int kEdge = 2; // the sunken edge round the face

} // namespace

RECT TComboBoxWindow::ButtonRect() const {
    RECT r{};
    GetClientRect(hwnd_, &r);
    r = Inset(r, kEdge);
    r.left = std::max<LONG>(r.left, r.right - GetSystemMetrics(SM_CXVSCROLL));
    return r;
}

RECT TComboBoxWindow::FieldRect() const {
    RECT r{};
    GetClientRect(hwnd_, &r);
    r = Inset(r, kEdge + 1);
    r.right = std::max<LONG>(r.left, ButtonRect().left - 1);
    return r;
}

void TComboBoxWindow::Paint(HDC given) {
    PAINTSTRUCT ps{};
    HDC dc = given ? given : BeginPaint(hwnd_, &ps);
    const bool enabled = IsWindowEnabled(hwnd_);
    RECT r{};
    GetClientRect(hwnd_, &r);
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    const UINT colorMessage = !enabled ? WM_CTLCOLORSTATIC : edit_ ? WM_CTLCOLOREDIT : WM_CTLCOLORLISTBOX;
    FillRect(dc, &r, ControlColorBrush(hwnd_, dc, colorMessage));
    RECT button = ButtonRect();
    UINT state = DFCS_SCROLLCOMBOBOX;
    if (dropped_) state |= DFCS_PUSHED | DFCS_FLAT;
    if (!enabled) state |= DFCS_INACTIVE;
    DrawFrameControl(dc, &button, DFC_SCROLL, state);
    if (!edit_) PaintField(dc, FieldRect());
    if (!given) EndPaint(hwnd_, &ps);
}

// The current item in the field of a drop-down list, highlighted while the
// combo has the focus and the list is up.
void TComboBoxWindow::PaintField(HDC dc, const RECT& field) {
    const int index = Current();
    const bool enabled = IsWindowEnabled(hwnd_);
    const bool highlight = focused_ && !dropped_ && enabled;
    if (OwnerDraw()) {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_COMBOBOX;
        item.CtlID = UINT(GetWindowLongPtrW(hwnd_, GWLP_ID));
        item.itemID = UINT(index);
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = ODS_COMBOBOXEDIT | (highlight ? ODS_SELECTED | ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
        item.hwndItem = hwnd_;
        item.hDC = dc;
        item.rcItem = field;
        item.itemData = index >= 0 ? ULONG_PTR(List(LB_GETITEMDATA, WPARAM(index))) : 0;
        SendMessageW(NotifyTarget(hwnd_), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
        return;
    }
    if (highlight) {
        FillRect(dc, &field, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else if (!enabled) {
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    }
    if (index >= 0) {
        const String text = ItemText(index);
        HGDIOBJ old = SelectObject(dc, font_ ? HGDIOBJ(font_) : GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        RECT textRect = field;
        textRect.left += 2;
        DrawTextW(dc, text.c_str(), int(text.size()), &textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        SelectObject(dc, old);
    }
    if (highlight) DrawFocusRect(dc, &field);
}
