// Keys, the mouse, the input method and the context menu of an edit.
#include "platform/win/controls/Controls.h"
#include "platform/win/controls/EditPositions.h"
#include "platform/win/controls/EditWindow.h"
#include "platform/win/dataxfer/TextClipboard.h"

namespace {

constexpr UINT_PTR kAutoScrollTimer = 1;
constexpr UINT kAutoScrollInterval = 100;

bool Pressed(int vk) { return GetKeyState(vk) < 0; }

String CompositionString(HIMC context, DWORD index) {
    const LONG bytes = ImmGetCompositionStringW(context, index, nullptr, 0);
    String text(size_t(std::max(bytes, LONG(0))) / sizeof(char16_t), u'\0');
    if (bytes > 0) ImmGetCompositionStringW(context, index, text.data(), DWORD(bytes));
    return text;
}

} // namespace

void TEditWindow::MoveCaret(int pos, bool extend) { Select(extend ? anchor_ : pos, pos); }

int TEditWindow::LineStep(int pos, int lines) {
    const int target = std::clamp(layout_.LineOf(pos) + lines, 0, layout_.Count() - 1);
    if (goalX_ < 0) goalX_ = PosFromChar(pos).x + xOffset_;
    return CharInLine(target, goalX_ - xOffset_);
}

void TEditWindow::DeleteRange(int start, int end, TAction action) {
    if (IsReadOnly()) return;
    anchor_ = start;
    caret_ = end;
    ReplaceSelection(String(), action);
}

void TEditWindow::KeyDown(UINT vk) {
    const bool ctrl = Pressed(VK_CONTROL), shift = Pressed(VK_SHIFT);
    const TEditLine& line = layout_[layout_.LineOf(caret_)];
    switch (vk) {
    case VK_LEFT:
    case VK_RIGHT: {
        const bool left = vk == VK_LEFT;
        if (HasSelection() && !shift && !ctrl)
            MoveCaret(left ? SelStart() : SelEnd(), false);
        else if (ctrl)
            MoveCaret(left ? PreviousWordPosition(text_, caret_) : NextWordPosition(text_, caret_), shift);
        else
            MoveCaret(left ? PreviousPosition(text_, caret_) : NextPosition(text_, caret_), shift);
        break;
    }
    case VK_UP:
    case VK_DOWN:
        if (IsMultiLine()) {
            const int pos = LineStep(caret_, vk == VK_UP ? -1 : 1);
            const int goal = goalX_;
            MoveCaret(pos, shift);
            goalX_ = goal;
        } else
            MoveCaret(vk == VK_UP ? PreviousPosition(text_, caret_) : NextPosition(text_, caret_), shift);
        break;
    case VK_PRIOR:
    case VK_NEXT:
        if (IsMultiLine()) {
            const int lines = vk == VK_PRIOR ? -VisibleLines() : VisibleLines();
            const int pos = LineStep(caret_, lines);
            const int goal = goalX_;
            ScrollTo(topLine_ + lines, xOffset_);
            MoveCaret(pos, shift);
            goalX_ = goal;
        }
        break;
    case VK_HOME: MoveCaret(ctrl ? 0 : line.start, shift); break;
    case VK_END: MoveCaret(ctrl ? text_.Length() : line.start + line.length, shift); break;
    case VK_DELETE:
        if (shift)
            Cut();
        else if (HasSelection())
            Clear();
        else if (caret_ < text_.Length())
            DeleteRange(caret_, ctrl ? NextWordPosition(text_, caret_) : NextPosition(text_, caret_), TAction::Delete);
        break;
    case VK_INSERT:
        if (ctrl)
            Copy();
        else if (shift)
            Paste();
        break;
    default: break;
    }
}

void TEditWindow::Char(char16_t ch) {
    if (IsHighSurrogate(ch)) {
        pendingHigh_ = ch;
        return;
    }
    String typed(1, ch);
    if (pendingHigh_) typed = String(1, pendingHigh_) + typed;
    pendingHigh_ = 0;
    switch (ch) {
    case 0x01: Select(0, text_.Length()); return;             // Ctrl+A
    case 0x03: Copy(); return;                                  // Ctrl+C
    case 0x16: Paste(); return;                                 // Ctrl+V
    case 0x18: Cut(); return;                                   // Ctrl+X
    case 0x1A: Undo(); return;                                  // Ctrl+Z
    case 0x08:                                                  // Backspace
    case 0x7F:                                                  // Ctrl+Backspace
        if (HasSelection())
            Clear();
        else if (caret_ > 0)
            DeleteRange(ch == 0x08 ? PreviousPosition(text_, caret_) : PreviousWordPosition(text_, caret_), caret_,
                        TAction::Backspace);
        return;
    case u'\r':
    case u'\n':
        if (IsMultiLine()) ReplaceSelection(u"\r\n", TAction::Typing);
        return;
    case u'\t':
        if (IsMultiLine()) ReplaceSelection(typed, TAction::Typing);
        return;
    default:
        if (ch < 0x20) return;
        if (IsReadOnly()) {
            MessageBeep(0);
            return;
        }
        ReplaceSelection(typed, TAction::Typing);
    }
}

void TEditWindow::MouseDown(POINT pt, bool extend) {
    if (GetFocus() != hwnd_) SetFocus(hwnd_);
    MoveCaret(CharFromPos(pt), extend);
    lastMouse_ = pt;
    tracking_ = true;
    SetCapture(hwnd_);
    SetTimer(hwnd_, kAutoScrollTimer, kAutoScrollInterval, nullptr);
}

void TEditWindow::DoubleClick(POINT pt) {
    int start = 0, end = 0;
    ClassRunAround(text_, CharFromPos(pt), start, end);
    Select(start, end);
}

void TEditWindow::MouseMove(POINT pt) {
    if (!tracking_) return;
    lastMouse_ = pt;
    MoveCaret(CharFromPos(pt), true);
}

void TEditWindow::StopTracking() {
    if (!tracking_) return;
    tracking_ = false;
    KillTimer(hwnd_, kAutoScrollTimer);
}

// While a drag holds the pointer outside the text, the text scrolls towards it.
void TEditWindow::AutoScroll() {
    if (!tracking_) return;
    const POINT pt = lastMouse_;
    int top = topLine_, x = xOffset_;
    if (pt.y < formatRect_.top) --top;
    if (pt.y >= formatRect_.bottom) ++top;
    if (pt.x < formatRect_.left) x -= averageWidth_;
    if (pt.x >= formatRect_.right) x += averageWidth_;
    ScrollTo(top, x);
    MoveCaret(CharFromPos(pt), true);
}

void TEditWindow::Composition(LPARAM lParam) {
    const HIMC context = ImmGetContext(hwnd_);
    if (!context) return;
    if (lParam & GCS_RESULTSTR) {
        const String result = CompositionString(context, GCS_RESULTSTR);
        EndComposition();
        ReplaceSelection(result, TAction::Other);
    } else if (lParam & GCS_COMPSTR) {
        const int line = layout_.LineOf(caret_);
        preedit_ = CompositionString(context, GCS_COMPSTR);
        preeditCursor_ = std::clamp(int(ImmGetCompositionStringW(context, GCS_CURSORPOS, nullptr, 0)), 0,
                                    preedit_.Length());
        InvalidateLines(line, line);
        ScrollCaretIntoView();
        PlaceCaret();
    } else {
        EndComposition();
    }
    ImmReleaseContext(hwnd_, context);
}

void TEditWindow::EndComposition() {
    if (preedit_.IsEmpty()) return;
    preedit_ = String();
    preeditCursor_ = 0;
    const int line = layout_.LineOf(caret_);
    InvalidateLines(line, line);
    PlaceCaret();
}

// The system's edit menu with what applies now enabled; its choice is sent
// to the edit as the message it names.
void TEditWindow::ContextMenu(LPARAM lParam) {
    if (GetFocus() != hwnd_) SetFocus(hwnd_);
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (lParam == -1) {
        pt = PosFromChar(caret_);
        pt.y += lineHeight_;
        ClientToScreen(hwnd_, &pt);
    }
    const HMENU menu = LoadMenuW(GetModuleHandleW(u"user32"), MAKEINTRESOURCEW(1));
    const HMENU popup = GetSubMenu(menu, 0);
    const bool editable = !IsReadOnly();
    const bool copyable = HasSelection() && !IsPassword();
    const bool allSelected = SelStart() == 0 && SelEnd() == text_.Length();
    for (const auto& [command, enabled] : {std::pair{WM_UNDO, editable && undo_.valid},
                                          std::pair{WM_CUT, editable && copyable},
                                          std::pair{WM_COPY, copyable},
                                          std::pair{WM_PASTE, editable && TextClipboard().GetText().has_value()},
                                          std::pair{WM_CLEAR, editable && HasSelection()},
                                          std::pair{EM_SETSEL, !text_.IsEmpty() && !allSelected}})
        EnableMenuItem(popup, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    const UINT command =
        UINT(TrackPopupMenu(popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, pt.x, pt.y, 0, hwnd_, nullptr));
    DestroyMenu(menu);
    if (command == EM_SETSEL)
        SendMessageW(hwnd_, EM_SETSEL, 0, -1);
    else if (command)
        SendMessageW(hwnd_, command, 0, 0);
}
