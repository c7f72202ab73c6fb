// The "ToolbarWindow32" class: its buttons, their states and texts, and the
// messages that reach them.

#include "platform/win/controls/ToolBarWindow.h"

#include <algorithm>
#include <utility>

#include "platform/win/controls/ControlWindow.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/controls/StandardControls.h"
#include "platform/win/imagelist/ImageList.h"

namespace {

// iString values below this are string indexes, not captions.
constexpr INT_PTR kFirstStringPointer = 0x10000;

} // namespace

int TToolBarWindow::IndexOf(int id) const {
    for (size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i].id == id) return int(i);
    return -1;
}

TToolBarWindow::TButton* TToolBarWindow::ButtonOf(int id) {
    const int index = IndexOf(id);
    return index < 0 ? nullptr : &buttons_[size_t(index)];
}

TToolBarWindow::TButton TToolBarWindow::MakeButton(const TBBUTTON& given) const {
    TButton button;
    button.image = given.iBitmap;
    button.id = given.idCommand;
    button.state = given.fsState;
    button.style = given.fsStyle;
    button.data = given.dwData;
    if (given.iString >= kFirstStringPointer) {
        button.captionGiven = true;
        button.caption = reinterpret_cast<LPCWSTR>(given.iString);
    } else {
        button.stringIndex = given.iString;
        if (given.iString >= 0 && size_t(given.iString) < strings_.size()) button.caption = strings_[size_t(given.iString)];
    }
    return button;
}

int TToolBarWindow::AddStrings(LPCWSTR list) {
    if (!list || !*list) return -1;
    const int first = int(strings_.size());
    for (LPCWSTR s = list; *s; s += strings_.back().size() + 1) strings_.emplace_back(s);
    return first;
}

bool TToolBarWindow::InsertButtons(int index, int count, const TBBUTTON* given) {
    if (count < 0 || (count > 0 && !given)) return false;
    if (index < 0 || index > int(buttons_.size())) index = int(buttons_.size());
    std::vector<TButton> added;
    for (int i = 0; i < count; ++i) added.push_back(MakeButton(given[i]));
    buttons_.insert(buttons_.begin() + index, added.begin(), added.end());
    if (hot_ >= index) hot_ += count;
    if (pressed_ >= index) pressed_ += count;
    Relayout();
    return true;
}

bool TToolBarWindow::DeleteButton(int index) {
    if (index < 0 || index >= int(buttons_.size())) return false;
    NMTOOLBARW info{};
    info.iItem = buttons_[size_t(index)].id;
    ToButtonRecord(buttons_[size_t(index)], info.tbButton);
    SendNotify(hwnd_, TBN_DELETINGBUTTON, info.hdr);
    // The parent may have changed the buttons meanwhile.
    if (index >= int(buttons_.size())) return false;
    if (pressed_ == index) CancelPress();
    auto shift = [index](int& at) { at = at == index ? -1 : at > index ? at - 1 : at; };
    shift(hot_);
    shift(pressed_);
    buttons_.erase(buttons_.begin() + index);
    Relayout();
    return true;
}

void TToolBarWindow::ToButtonRecord(const TButton& button, TBBUTTON& record) const {
    record = TBBUTTON{};
    record.iBitmap = button.image;
    record.idCommand = button.id;
    record.fsState = button.state;
    record.fsStyle = button.style;
    record.dwData = button.data;
    record.iString = button.captionGiven ? reinterpret_cast<INT_PTR>(button.caption.c_str()) : button.stringIndex;
}

bool TToolBarWindow::SetState(int id, BYTE state) {
    const int index = IndexOf(id);
    if (index < 0) return false;
    TButton& button = buttons_[size_t(index)];
    const BYTE changed = button.state ^ state;
    if (!changed) return true;
    button.state = state;
    if (!button.Enabled() && pressed_ == index) CancelPress();
    if (!button.Enabled() && hot_ == index) SetHot(-1);
    if (changed & (TBSTATE_HIDDEN | TBSTATE_WRAP))
        Relayout();
    else
        InvalidateButton(index);
    return true;
}

bool TToolBarWindow::ChangeState(int id, BYTE bit, bool on) {
    const TButton* button = ButtonOf(id);
    if (!button) return false;
    if (bit == TBSTATE_CHECKED) {
        Check(IndexOf(id), on);
        return true;
    }
    return SetState(id, on ? BYTE(button->state | bit) : BYTE(button->state & ~bit));
}

void TToolBarWindow::Check(int index, bool on) {
    TButton& button = buttons_[size_t(index)];
    if (on && (button.style & BTNS_GROUP)) {
        // The group: the run of neighbouring group buttons.
        int first = index, last = index;
        while (first > 0 && (buttons_[size_t(first - 1)].style & BTNS_GROUP)) --first;
        while (last + 1 < int(buttons_.size()) && (buttons_[size_t(last + 1)].style & BTNS_GROUP)) ++last;
        for (int i = first; i <= last; ++i)
            if (i != index && (buttons_[size_t(i)].state & TBSTATE_CHECKED)) {
                buttons_[size_t(i)].state &= BYTE(~TBSTATE_CHECKED);
                InvalidateButton(i);
            }
    }
    const BYTE state = on ? BYTE(button.state | TBSTATE_CHECKED) : BYTE(button.state & ~TBSTATE_CHECKED);
    if (state == button.state) return;
    button.state = state;
    InvalidateButton(index);
}

LRESULT TToolBarWindow::GetButtonText(int id, LPWSTR buffer) const {
    const int index = IndexOf(id);
    if (index < 0) return -1;
    const String& caption = buttons_[size_t(index)].caption;
    // The message carries no size: a buffer is taken to hold the length
    // answered for a null buffer, plus the terminator.
    if (buffer) std::copy_n(caption.c_str(), caption.size() + 1, buffer);
    return LRESULT(caption.size());
}

LRESULT TToolBarWindow::GetButtonInfo(WPARAM which, TBBUTTONINFOW* info) const {
    if (!info) return -1;
    const int index = info->dwMask & TBIF_BYINDEX ? int(which) : IndexOf(int(which));
    if (index < 0 || index >= int(buttons_.size())) return -1;
    const TButton& button = buttons_[size_t(index)];
    if (info->dwMask & TBIF_COMMAND) info->idCommand = button.id;
    if (info->dwMask & TBIF_IMAGE) info->iImage = button.image;
    if (info->dwMask & TBIF_STATE) info->fsState = button.state;
    if (info->dwMask & TBIF_STYLE) info->fsStyle = button.style;
    if (info->dwMask & TBIF_LPARAM) info->lParam = button.data;
    if (info->dwMask & TBIF_SIZE) info->cx = WORD(button.rect.right - button.rect.left);
    if ((info->dwMask & TBIF_TEXT) && info->pszText && info->cchText > 0) {
        const size_t count = std::min(button.caption.size(), size_t(info->cchText) - 1);
        std::copy_n(button.caption.c_str(), count, info->pszText);
        info->pszText[count] = u'\0';
    }
    return index;
}

bool TToolBarWindow::SetButtonInfo(WPARAM which, const TBBUTTONINFOW* info) {
    if (!info) return false;
    const int index = info->dwMask & TBIF_BYINDEX ? int(which) : IndexOf(int(which));
    if (index < 0 || index >= int(buttons_.size())) return false;
    TButton& button = buttons_[size_t(index)];
    if (info->dwMask & TBIF_COMMAND) button.id = info->idCommand;
    if (info->dwMask & TBIF_IMAGE) button.image = info->iImage;
    if (info->dwMask & TBIF_STATE) button.state = info->fsState;
    if (info->dwMask & TBIF_STYLE) button.style = info->fsStyle;
    if (info->dwMask & TBIF_LPARAM) button.data = info->lParam;
    if (info->dwMask & TBIF_SIZE) button.fixedWidth = info->cx;
    if (info->dwMask & TBIF_TEXT) {
        button.captionGiven = info->pszText != nullptr;
        button.caption = info->pszText ? String(info->pszText) : String();
        button.stringIndex = -1;
    }
    if (!button.Enabled() && pressed_ == index) CancelPress();
    Relayout();
    return true;
}

HIMAGELIST TToolBarWindow::SetImages(TImageKind kind, HIMAGELIST list) {
    const HIMAGELIST previous = std::exchange(images_[kind], list);
    if (kind == kNormalImages && list) {
        int width = 0, height = 0;
        if (ImageList_GetIconSize(list, &width, &height)) bitmapSize_ = {width, height};
    }
    Relayout();
    return previous;
}

void TToolBarWindow::SetTextRows(int rows) {
    textRows_ = std::max(0, rows);
    Relayout();
}

// --- Tool tips ------------------------------------------------------------------------

void TToolBarWindow::CreateToolTip() {
    tip_ = CreateWindowExW(WS_EX_TOPMOST, u"tooltips_class32", nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                           0, 0, hwnd_, nullptr, nullptr, nullptr);
    ownTip_ = tip_ != nullptr;
}

void TToolBarWindow::RemoveTools() {
    if (!tip_) return;
    for (int id : toolIds_) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = hwnd_;
        tool.uId = UINT_PTR(id);
        SendMessageW(tip_, TTM_DELTOOLW, 0, LPARAM(&tool));
    }
    toolIds_.clear();
}

void TToolBarWindow::UpdateTools() {
    if (!tip_) return;
    RemoveTools();
    for (const TButton& button : buttons_) {
        if (button.Separator() || button.Hidden()) continue;
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = hwnd_;
        tool.uId = UINT_PTR(button.id);
        tool.rect = button.rect;
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(tip_, TTM_ADDTOOLW, 0, LPARAM(&tool));
        toolIds_.push_back(button.id);
    }
}

// --- Messages -------------------------------------------------------------------------

LRESULT TToolBarWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        if (Style() & TBSTYLE_TOOLTIPS) CreateToolTip();
        Relayout();
        return 0;
    case WM_DESTROY:
        if (ownTip_ && tip_)
            DestroyWindow(tip_);
        else
            RemoveTools(); // from a tip set by TB_SETTOOLTIPS
        tip_ = nullptr;
        return 0;
    case WM_NCCALCSIZE: {
        const LRESULT result = DefWindowProcW(hwnd_, message, wParam, lParam);
        auto* client = reinterpret_cast<RECT*>(lParam); // rgrc[0] leads NCCALCSIZE_PARAMS too
        client->top = std::min(client->bottom, client->top + DividerHeight());
        return result;
    }
    case WM_NCPAINT:
        DefWindowProcW(hwnd_, message, wParam, lParam);
        PaintDivider();
        return 0;
    case WM_STYLECHANGED: {
        const auto* change = reinterpret_cast<const STYLESTRUCT*>(lParam);
        // The divider lies in the non-client area.
        if (wParam == WPARAM(GWL_STYLE) && ((change->styleOld ^ change->styleNew) & CCS_NODIVIDER))
            SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Relayout();
        return 0;
    }
    case WM_SIZE: Relayout(); return 0;
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        Relayout();
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_ERASEBKGND: return TRUE; // painting covers everything
    case WM_PRINTCLIENT: {
        RECT client;
        GetClientRect(hwnd_, &client);
        Paint(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_PAINT:
        return PaintControl(hwnd_, wParam, [this](HDC dc, const RECT& area) { Paint(dc, area); });
    case WM_NOTIFY:
    case WM_COMMAND:
        // The tip's requests (the parent knows the texts) and what windows
        // placed on the bar report go on to the parent.
        return SendMessageW(NotifyTarget(hwnd_), message, wParam, lParam);
    case WM_MOUSEMOVE:
        RelayToTip(message, wParam, lParam);
        MouseMove({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        RelayToTip(message, wParam, lParam);
        ButtonDown({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_LBUTTONUP: ButtonUp({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
    case WM_CAPTURECHANGED:
        if (HWND(lParam) != hwnd_) CancelPress();
        return 0;
    case WM_MOUSELEAVE: MouseLeft(); return 0;

    case TB_BUTTONSTRUCTSIZE: return 0; // one record layout only
    case TB_ADDBUTTONSW:
        return InsertButtons(int(buttons_.size()), int(wParam), reinterpret_cast<const TBBUTTON*>(lParam));
    case TB_INSERTBUTTONW: return InsertButtons(int(wParam), 1, reinterpret_cast<const TBBUTTON*>(lParam));
    case TB_ADDSTRINGW: return wParam ? -1 : AddStrings(reinterpret_cast<LPCWSTR>(lParam)); // no resource strings
    case TB_DELETEBUTTON: return DeleteButton(int(wParam));
    case TB_BUTTONCOUNT: return LRESULT(buttons_.size());
    case TB_GETBUTTON: {
        auto* record = reinterpret_cast<TBBUTTON*>(lParam);
        if (!record || wParam >= buttons_.size()) return FALSE;
        ToButtonRecord(buttons_[wParam], *record);
        return TRUE;
    }
    case TB_COMMANDTOINDEX: return IndexOf(int(wParam));
    case TB_GETITEMRECT:
    case TB_GETRECT: {
        const int index = message == TB_GETRECT ? IndexOf(int(wParam)) : int(wParam);
        auto* rect = reinterpret_cast<RECT*>(lParam);
        if (!rect || index < 0 || index >= int(buttons_.size()) || buttons_[size_t(index)].Hidden()) return FALSE;
        *rect = buttons_[size_t(index)].rect;
        return TRUE;
    }
    case TB_SETSTATE: return SetState(int(wParam), BYTE(LOWORD(lParam)));
    case TB_GETSTATE: {
        const TButton* button = ButtonOf(int(wParam));
        return button ? LRESULT(button->state) : -1;
    }
    case TB_CHECKBUTTON: return ChangeState(int(wParam), TBSTATE_CHECKED, LOWORD(lParam) != 0);
    case TB_ENABLEBUTTON: return ChangeState(int(wParam), TBSTATE_ENABLED, LOWORD(lParam) != 0);
    case TB_HIDEBUTTON: return ChangeState(int(wParam), TBSTATE_HIDDEN, LOWORD(lParam) != 0);
    case TB_PRESSBUTTON: return ChangeState(int(wParam), TBSTATE_PRESSED, LOWORD(lParam) != 0);
    case TB_INDETERMINATE: return ChangeState(int(wParam), TBSTATE_INDETERMINATE, LOWORD(lParam) != 0);
    case TB_ISBUTTONENABLED:
    case TB_ISBUTTONCHECKED:
    case TB_ISBUTTONPRESSED:
    case TB_ISBUTTONHIDDEN: {
        const TButton* button = ButtonOf(int(wParam));
        if (!button) return 0;
        static constexpr BYTE kBits[] = {TBSTATE_ENABLED, TBSTATE_CHECKED, TBSTATE_PRESSED, TBSTATE_HIDDEN};
        return (button->state & kBits[message - TB_ISBUTTONENABLED]) != 0;
    }
    case TB_SETIMAGELIST: return reinterpret_cast<LRESULT>(SetImages(kNormalImages, HIMAGELIST(lParam)));
    case TB_GETIMAGELIST: return reinterpret_cast<LRESULT>(images_[kNormalImages]);
    case TB_SETHOTIMAGELIST: return reinterpret_cast<LRESULT>(SetImages(kHotImages, HIMAGELIST(lParam)));
    case TB_GETHOTIMAGELIST: return reinterpret_cast<LRESULT>(images_[kHotImages]);
    case TB_SETDISABLEDIMAGELIST: return reinterpret_cast<LRESULT>(SetImages(kDisabledImages, HIMAGELIST(lParam)));
    case TB_GETDISABLEDIMAGELIST: return reinterpret_cast<LRESULT>(images_[kDisabledImages]);
    case TB_SETBUTTONSIZE:
        buttonSize_ = {LOWORD(lParam), HIWORD(lParam)};
        Relayout();
        return TRUE;
    case TB_GETBUTTONSIZE: {
        const SIZE size = ButtonSize();
        return MAKELONG(size.cx, size.cy);
    }
    case TB_SETBITMAPSIZE:
        bitmapSize_ = {LOWORD(lParam), HIWORD(lParam)};
        Relayout();
        return TRUE;
    case TB_GETBUTTONTEXTW: return GetButtonText(int(wParam), reinterpret_cast<LPWSTR>(lParam));
    case TB_GETBUTTONINFOW: return GetButtonInfo(wParam, reinterpret_cast<TBBUTTONINFOW*>(lParam));
    case TB_SETBUTTONINFOW: return SetButtonInfo(wParam, reinterpret_cast<const TBBUTTONINFOW*>(lParam));
    case TB_AUTOSIZE: AutoSize(); return 0;
    case TB_HITTEST: return lParam ? HitTest(*reinterpret_cast<const POINT*>(lParam)) : -1;
    case TB_SETMAXTEXTROWS: SetTextRows(int(wParam)); return TRUE;
    case TB_GETTEXTROWS: return textRows_;
    case TB_SETEXTENDEDSTYLE: {
        const DWORD previous = std::exchange(extendedStyle_, DWORD(lParam));
        Relayout();
        return LRESULT(previous);
    }
    case TB_GETEXTENDEDSTYLE: return LRESULT(extendedStyle_);
    case TB_SETINDENT:
        indent_ = int(wParam);
        Relayout();
        return TRUE;
    case TB_GETROWS: return rows_;
    case TB_GETTOOLTIPS: return reinterpret_cast<LRESULT>(tip_);
    case TB_SETTOOLTIPS:
        RemoveTools();
        if (ownTip_ && tip_ && tip_ != HWND(wParam)) DestroyWindow(tip_);
        tip_ = HWND(wParam);
        ownTip_ = false;
        UpdateTools();
        return 0;
    case TB_GETHOTITEM: return hot_;
    case TB_SETHOTITEM: {
        const int previous = hot_;
        SetHot(int(wParam) < int(buttons_.size()) ? int(wParam) : -1);
        return previous;
    }
    case TB_SETSTYLE:
        SetWindowLongPtrW(hwnd_, GWL_STYLE, LONG_PTR(lParam));
        return 0;
    case TB_GETSTYLE: return LRESULT(Style());
    case TB_GETMAXSIZE: {
        auto* size = reinterpret_cast<SIZE*>(lParam);
        if (!size) return FALSE;
        *size = MaxSize();
        return TRUE;
    }
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT ToolBarWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ControlWindowProc<TToolBarWindow>(hwnd, message, wParam, lParam);
}
