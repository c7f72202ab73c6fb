#include "platform/win/controls/EditWindow.h"

#include <climits>
#include <cstring>

#include "platform/win/controls/ControlWindow.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/controls/EditPositions.h"
#include "platform/win/controls/StandardControls.h"
#include "platform/win/dataxfer/TextClipboard.h"
#include "platform/win/gdi/Gdi.h"

namespace {

constexpr char16_t kDefaultPasswordChar = u'*';
constexpr int kMultiLineLimit = 0x7FFFFFFF;
constexpr int kSingleLineLimit = 0x7FFFFFFE;

// Text cut at its first line break (a single line takes no more).
String FirstLine(const String& text) {
    const auto end = text.find_first_of(u"\r\n");
    return end == String::npos ? text : text.substr(0, end);
}

// Lone CR or LF become CR LF, as a memo keeps its lines.
String WithLineBreaks(const String& text) {
    String result;
    result.reserve(text.size());
    for (int i = 0; i < text.Length();) {
        const int breakLength = BreakLengthAt(text, i);
        if (breakLength) {
            result.append(u"\r\n");
            i += breakLength;
        } else {
            result.append(1, text[size_t(i)]);
            ++i;
        }
    }
    return result;
}

} // namespace

LRESULT EditWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ControlWindowProc<TEditWindow>(hwnd, message, wParam, lParam);
}

TEditWindow::TEditWindow(HWND hwnd) : hwnd_(hwnd), measureDc_(CreateCompatibleDC(nullptr)) {
    if (Style() & ES_PASSWORD) passwordChar_ = kDefaultPasswordChar;
    if (IsMultiLine()) limit_ = kMultiLineLimit;
}

TEditWindow::~TEditWindow() { DeleteDC(measureDc_); }

DWORD TEditWindow::Style() const { return DWORD(GetWindowLongPtrW(hwnd_, GWL_STYLE)); }

LRESULT TEditWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) text_ = Normalized(cs->lpszName);
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
    case WM_CREATE:
        SetFont(nullptr, false);
        UpdateInputContext();
        return 0;
    case WM_SETTEXT:
        SetText(lParam ? String(reinterpret_cast<LPCWSTR>(lParam)) : String());
        return TRUE;
    case WM_GETTEXT: return CopyText(reinterpret_cast<LPWSTR>(lParam), int(wParam));
    case WM_GETTEXTLENGTH: return text_.Length();
    case WM_SETFONT: SetFont(reinterpret_cast<HFONT>(wParam), lParam != 0); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
        if (IsMultiLine() && (Style() & ES_WANTRETURN)) code |= DLGC_WANTALLKEYS;
        return code;
    }
    case WM_CUT: Cut(); return 0;
    case WM_COPY: Copy(); return 0;
    case WM_PASTE: Paste(); return 0;
    case WM_CLEAR: Clear(); return 0;
    case WM_UNDO:
    case EM_UNDO: return Undo();
    case WM_SIZE:
        ResetFormatRect();
        return 0;
    case WM_SETFOCUS: FocusChanged(true); return 0;
    case WM_KILLFOCUS: FocusChanged(false); return 0;
    case WM_ENABLE:
    case WM_SYSCOLORCHANGE: InvalidateRect(hwnd_, nullptr, TRUE); return 0;
    case WM_STYLECHANGED: UpdateInputContext(); return 0;
    case WM_ERASEBKGND: return 1; // painting fills the background
    case WM_PAINT: return PaintControl(hwnd_, wParam, [this](HDC dc, const RECT& area) { Paint(dc, area); });
    case WM_PRINTCLIENT: {
        RECT client;
        GetClientRect(hwnd_, &client);
        Paint(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_KEYDOWN: KeyDown(UINT(wParam)); return 0;
    case WM_CHAR: Char(char16_t(wParam)); return 0;
    case WM_LBUTTONDOWN:
        MouseDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, (wParam & MK_SHIFT) != 0);
        return 0;
    case WM_LBUTTONDBLCLK: DoubleClick(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
    case WM_MOUSEMOVE: MouseMove(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
    case WM_LBUTTONUP:
        if (tracking_) ReleaseCapture();
        return 0;
    case WM_CAPTURECHANGED: StopTracking(); return 0;
    case WM_TIMER: AutoScroll(); return 0;
    case WM_VSCROLL: OnScroll(SB_VERT, LOWORD(wParam)); return 0;
    case WM_HSCROLL: OnScroll(SB_HORZ, LOWORD(wParam)); return 0;
    case WM_MOUSEWHEEL:
        if (!IsMultiLine()) return DefWindowProcW(hwnd_, message, wParam, lParam);
        ScrollTo(topLine_ - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3, xOffset_);
        return 0;
    case WM_IME_STARTCOMPOSITION: return 0;
    case WM_IME_COMPOSITION: Composition(lParam); return 0;
    case WM_IME_ENDCOMPOSITION: EndComposition(); return 0;
    case WM_CONTEXTMENU: ContextMenu(lParam); return 0;
    default: return HandleEditMessage(message, wParam, lParam);
    }
}

LRESULT TEditWindow::HandleEditMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case EM_GETSEL:
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = DWORD(SelStart());
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = DWORD(SelEnd());
        return SelEnd() > 0xFFFF ? -1 : MAKELRESULT(SelStart(), SelEnd());
    case EM_SETSEL: {
        const int start = int(wParam), end = int(lParam);
        if (start == -1)
            Select(caret_, caret_);
        else
            Select(start, end < 0 ? text_.Length() : end);
        return 0;
    }
    case EM_REPLACESEL:
        ReplaceSelection(lParam ? String(reinterpret_cast<LPCWSTR>(lParam)) : String(), TAction::Other, wParam != 0);
        return 0;
    case EM_CANUNDO: return undo_.valid;
    case EM_EMPTYUNDOBUFFER: undo_ = TUndo{}; return 0;
    case EM_SETREADONLY: SetReadOnly(wParam != 0); return TRUE;
    case EM_LIMITTEXT: {
        const int limit = int(wParam);
        limit_ = limit > 0 ? limit : IsMultiLine() ? kMultiLineLimit : kSingleLineLimit;
        return 0;
    }
    case EM_GETLIMITTEXT: return limit_;
    case EM_GETMODIFY: return modified_;
    case EM_SETMODIFY: modified_ = wParam != 0; return 0;
    case EM_SETPASSWORDCHAR: SetPasswordChar(char16_t(wParam)); return 0;
    case EM_GETPASSWORDCHAR: return passwordChar_;
    case EM_GETRECT:
        if (lParam) *reinterpret_cast<RECT*>(lParam) = formatRect_;
        return 0;
    case EM_SETRECT:
    case EM_SETRECTNP:
        if (lParam)
            SetFormatRect(*reinterpret_cast<const RECT*>(lParam), message == EM_SETRECT);
        else
            ResetFormatRect();
        return 0;
    case EM_SETMARGINS: {
        if (wParam & EC_LEFTMARGIN)
            leftMargin_ = LOWORD(lParam) == EC_USEFONTINFO ? averageWidth_ / 2 : LOWORD(lParam);
        if (wParam & EC_RIGHTMARGIN)
            rightMargin_ = HIWORD(lParam) == EC_USEFONTINFO ? averageWidth_ / 2 : HIWORD(lParam);
        ResetFormatRect();
        return 0;
    }
    case EM_GETMARGINS: return MAKELRESULT(leftMargin_, rightMargin_);
    case EM_CHARFROMPOS: {
        const int pos = CharFromPos(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return MAKELRESULT(WORD(pos), WORD(layout_.LineOf(pos)));
    }
    case EM_POSFROMCHAR: {
        if (int(wParam) < 0 || int(wParam) > text_.Length()) return -1;
        const POINT pt = PosFromChar(SnapPosition(text_, int(wParam)));
        return MAKELRESULT(WORD(pt.x), WORD(pt.y));
    }
    case EM_LINEFROMCHAR: return layout_.LineOf(int(wParam) < 0 ? SelStart() : int(wParam));
    case EM_LINEINDEX: {
        const int line = int(wParam) < 0 ? layout_.LineOf(caret_) : int(wParam);
        return line < layout_.Count() ? layout_[line].start : -1;
    }
    case EM_LINELENGTH: {
        const int pos = int(wParam) < 0 ? caret_ : std::min(int(wParam), text_.Length());
        return layout_[layout_.LineOf(pos)].length;
    }
    case EM_GETLINECOUNT: return layout_.Count();
    case EM_GETLINE: return GetLine(int(wParam), reinterpret_cast<LPWSTR>(lParam));
    case EM_GETFIRSTVISIBLELINE: return IsMultiLine() ? topLine_ : CharFromPos(POINT{formatRect_.left, formatRect_.top});
    case EM_LINESCROLL:
        if (IsMultiLine()) ScrollTo(topLine_ + int(lParam), xOffset_ + int(wParam) * averageWidth_);
        return TRUE;
    case EM_SCROLLCARET: ScrollCaretIntoView(); return TRUE;
    default: return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

LRESULT TEditWindow::CopyText(LPWSTR buffer, int size) const {
    if (!buffer || size <= 0) return 0;
    int count = std::min(text_.Length(), size - 1);
    if (count < text_.Length() && count > 0 && text_[size_t(count)] >= 0xDC00 && text_[size_t(count)] < 0xE000)
        --count; // a surrogate pair is never split
    std::memcpy(buffer, text_.data(), size_t(count) * sizeof(char16_t));
    buffer[count] = 0;
    return count;
}

LRESULT TEditWindow::GetLine(int line, LPWSTR buffer) const {
    if (!buffer || line < 0 || line >= layout_.Count()) return 0;
    const int size = *reinterpret_cast<const WORD*>(buffer);
    const TEditLine& l = layout_[line];
    const int count = std::min(l.length, size);
    std::memcpy(buffer, text_.data() + l.start, size_t(count) * sizeof(char16_t));
    if (count < size) buffer[count] = 0;
    return count;
}

String TEditWindow::Normalized(String text) const {
    if (Style() & ES_UPPERCASE) text = AnsiUpperCase(text);
    if (Style() & ES_LOWERCASE) text = AnsiLowerCase(text);
    return IsMultiLine() ? WithLineBreaks(text) : text;
}

void TEditWindow::SetText(const String& text) {
    text_ = Normalized(text);
    anchor_ = caret_ = 0;
    undo_ = TUndo{};
    modified_ = false;
    topLine_ = xOffset_ = 0;
    Relayout();
    InvalidateRect(hwnd_, nullptr, FALSE);
    NotifyParent(hwnd_, EN_UPDATE);
    NotifyParent(hwnd_, EN_CHANGE);
}

void TEditWindow::Replace(int start, int end, const String& text) {
    text_.replace(size_t(start), size_t(end - start), text);
    const TEditLayout::TDamage damage =
        layout_.Update(text_, start, end - start, text.Length(), [this](auto t, auto& x) { Measure(t, x); });
    // Lines below move only when the number of lines changed.
    InvalidateLines(damage.first, damage.oldCount == damage.newCount ? damage.first + damage.newCount - 1 : INT_MAX);
    anchor_ = caret_ = start + text.Length();
}

bool TEditWindow::ReplaceSelection(String text, TAction action, bool undoable) {
    if (IsReadOnly()) return false;
    text = Normalized(IsMultiLine() ? text : FirstLine(text));
    const int start = SelStart(), end = SelEnd();
    const int room = std::max(limit_ - (text_.Length() - (end - start)), 0);
    const bool maxText = text.Length() > room;
    if (maxText) text = text.substr(0, size_t(SnapPosition(text, room)));
    if (start == end && text.IsEmpty()) {
        if (maxText) NotifyParent(hwnd_, EN_MAXTEXT);
        return false;
    }
    const String removed = text_.substr(size_t(start), size_t(end - start));
    const bool joins = undo_.valid && undo_.action == action && action != TAction::Other &&
                       ((action == TAction::Typing && start == end && start == undo_.start + undo_.insertedLength) ||
                        (action == TAction::Backspace && end == undo_.start && undo_.insertedLength == 0) ||
                        (action == TAction::Delete && start == undo_.start && undo_.insertedLength == 0));
    if (!undoable)
        undo_ = TUndo{};
    else if (joins && action == TAction::Typing)
        undo_.insertedLength += text.Length();
    else if (joins && action == TAction::Backspace) {
        undo_.removed = removed + undo_.removed;
        undo_.start = start;
    } else if (joins)
        undo_.removed = undo_.removed + removed;
    else
        undo_ = TUndo{true, action, start, removed, text.Length()};
    Replace(start, end, text);
    modified_ = true;
    Changed(maxText);
    return true;
}

void TEditWindow::Changed(bool maxText) {
    ScrollCaretIntoView();
    UpdateScrollBars();
    PlaceCaret();
    NotifyParent(hwnd_, EN_UPDATE);
    NotifyParent(hwnd_, EN_CHANGE);
    if (maxText) NotifyParent(hwnd_, EN_MAXTEXT);
}

bool TEditWindow::Undo() {
    if (!undo_.valid || IsReadOnly()) return false;
    const TUndo step = undo_;
    const String inserted = text_.substr(size_t(step.start), size_t(step.insertedLength));
    Replace(step.start, step.start + step.insertedLength, step.removed);
    anchor_ = step.start;
    InvalidateRange(anchor_, caret_);
    undo_ = TUndo{true, TAction::Other, step.start, inserted, step.removed.Length()};
    modified_ = true;
    Changed(false);
    return true;
}

bool TEditWindow::Copy() const {
    if (!HasSelection() || IsPassword()) return false;
    TextClipboard().SetText(text_.substr(size_t(SelStart()), size_t(SelEnd() - SelStart())));
    return true;
}

bool TEditWindow::Cut() {
    if (IsReadOnly() || !Copy()) return false;
    return ReplaceSelection(String(), TAction::Other);
}

bool TEditWindow::Paste() {
    if (IsReadOnly()) return false;
    const std::optional<String> text = TextClipboard().GetText();
    return text && ReplaceSelection(*text, TAction::Other);
}

bool TEditWindow::Clear() { return HasSelection() && ReplaceSelection(String(), TAction::Other); }

void TEditWindow::Select(int anchor, int caret) {
    const int length = text_.Length();
    anchor = SnapPosition(text_, std::clamp(anchor, 0, length));
    caret = SnapPosition(text_, std::clamp(caret, 0, length));
    goalX_ = -1;
    if (anchor == anchor_ && caret == caret_) return;
    InvalidateRange(SelStart(), SelEnd());
    anchor_ = anchor;
    caret_ = caret;
    InvalidateRange(SelStart(), SelEnd());
    undo_.action = TAction::Other;
    ScrollCaretIntoView();
    PlaceCaret();
}

void TEditWindow::SetReadOnly(bool readOnly) {
    const DWORD style = Style();
    SetWindowLongPtrW(hwnd_, GWL_STYLE, LONG_PTR(readOnly ? style | ES_READONLY : style & ~ES_READONLY));
    UpdateInputContext();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void TEditWindow::SetPasswordChar(char16_t ch) {
    if (IsMultiLine() || ch == passwordChar_) return;
    passwordChar_ = ch;
    const DWORD style = Style();
    SetWindowLongPtrW(hwnd_, GWL_STYLE, LONG_PTR(ch ? style | ES_PASSWORD : style & ~ES_PASSWORD));
    UpdateInputContext();
    Relayout();
    InvalidateRect(hwnd_, nullptr, TRUE);
    PlaceCaret();
}

// Password and read-only edits take no text from input methods.
void TEditWindow::UpdateInputContext() {
    const bool wanted = !IsPassword() && !IsReadOnly();
    if (!wanted && !savedContext_)
        savedContext_ = ImmAssociateContext(hwnd_, nullptr);
    else if (wanted && savedContext_) {
        ImmAssociateContext(hwnd_, savedContext_);
        savedContext_ = nullptr;
    }
}
