#pragma once
// The state and behaviour of one "EDIT" window: single-line edits and memos.
// EditWindow.cpp answers the messages and keeps text, selection and undo;
// EditInput.cpp turns keys, the mouse, the input method and the context menu
// into edits; EditView.cpp lays out, scrolls, places the caret and paints.

#include <algorithm>
#include <vector>

#include "platform/rtl/String.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/controls/EditLayout.h"

class TEditWindow {
public:
    explicit TEditWindow(HWND hwnd);
    ~TEditWindow();
    TEditWindow(const TEditWindow&) = delete;
    TEditWindow& operator=(const TEditWindow&) = delete;

    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    // What made a change, for joining changes into one undo step.
    enum class TAction { Other, Typing, Backspace, Delete };

    struct TUndo {
        bool valid = false;
        TAction action = TAction::Other;
        int start = 0;
        String removed;
        int insertedLength = 0;
    };

    // --- Text, selection, undo (EditWindow.cpp) ---
    DWORD Style() const;
    bool IsMultiLine() const { return (Style() & ES_MULTILINE) != 0; }
    // A memo wraps its lines unless it scrolls sideways.
    bool WrapsWords() const { return IsMultiLine() && !(Style() & (WS_HSCROLL | ES_AUTOHSCROLL)); }
    bool IsReadOnly() const { return (Style() & ES_READONLY) != 0; }
    bool IsPassword() const { return passwordChar_ != 0 && !IsMultiLine(); }
    int SelStart() const { return std::min(anchor_, caret_); }
    int SelEnd() const { return std::max(anchor_, caret_); }
    bool HasSelection() const { return anchor_ != caret_; }

    LRESULT HandleEditMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Text in the case the style asks for, with CR LF line breaks in a memo.
    String Normalized(String text) const;
    void SetText(const String& text);
    LRESULT CopyText(LPWSTR buffer, int size) const;
    // Replaces the selection with Text as a change of the user (or of
    // EM_REPLACESEL): read-only refused, case and line breaks as the style
    // wants, cut at the limit, one undo step, the notifications.
    bool ReplaceSelection(String text, TAction action, bool undoable = true);
    void Replace(int start, int end, const String& text);
    void Changed(bool maxText);
    bool Undo();
    bool Cut();
    bool Copy() const;
    bool Paste();
    bool Clear();
    // Moves the selection (the caret at Caret), as the user or EM_SETSEL does.
    void Select(int anchor, int caret);
    void SetReadOnly(bool readOnly);
    void SetPasswordChar(char16_t ch);
    void UpdateInputContext();
    LRESULT GetLine(int line, LPWSTR buffer) const;

    // --- Keys, mouse, input method, context menu (EditInput.cpp) ---
    void KeyDown(UINT vk);
    void DeleteRange(int start, int end, TAction action);
    void Char(char16_t ch);
    void MoveCaret(int pos, bool extend);
    // The position Lines lines away, towards the column going up and down aims at.
    int LineStep(int pos, int lines);
    void MouseDown(POINT pt, bool extend);
    void DoubleClick(POINT pt);
    void MouseMove(POINT pt);
    void StopTracking();
    void AutoScroll();
    void Composition(LPARAM lParam);
    void EndComposition();
    void ContextMenu(LPARAM lParam);

    // --- Layout, scrolling, caret, painting (EditView.cpp) ---
    void SetFont(HFONT font, bool redraw);
    void ResetFormatRect();
    void SetFormatRect(const RECT& rect, bool redraw);
    void Relayout();
    void Measure(std::u16string_view text, std::vector<int>& x);
    // X offset of each position of the line, from the line's left.
    void LineOffsets(int line, std::vector<int>& x);
    int LineLeft(int line) const;
    int LineTop(int line) const;
    int VisibleLines() const;
    POINT PosFromChar(int pos);
    int CharFromPos(POINT pt);
    // The position in Line nearest to X (client coordinates).
    int CharInLine(int line, int x);
    void InvalidateLines(int first, int last);
    void InvalidateRange(int start, int end);
    void ScrollCaretIntoView();
    void ScrollTo(int topLine, int xOffset);
    void UpdateScrollBars();
    void OnScroll(int bar, WORD request);
    void PlaceCaret();
    void FocusChanged(bool focused);
    UINT ColorMessage() const;
    void Paint(HDC dc, const RECT& area);
    void PaintLine(HDC dc, int line, COLORREF text);

    HWND hwnd_;
    String text_;
    int anchor_ = 0, caret_ = 0;
    TEditLayout layout_;
    TUndo undo_;
    bool modified_ = false;
    int limit_ = 0x7FFFFFFE;
    char16_t passwordChar_ = 0;
    HIMC savedContext_ = nullptr;

    HFONT font_ = nullptr;
    HDC measureDc_ = nullptr;
    int lineHeight_ = 0, averageWidth_ = 0;
    int leftMargin_ = 0, rightMargin_ = 0;
    RECT formatRect_{};
    int topLine_ = 0, xOffset_ = 0;
    SCROLLINFO shownBars_[2]{}; // what the scroll bars were last told
    bool updatingBars_ = false;
    bool focused_ = false;
    bool tracking_ = false;
    char16_t pendingHigh_ = 0; // the first half of a pair typed as two characters
    POINT lastMouse_{};
    int goalX_ = -1; // where going up and down aims, kept while it goes on
    String preedit_;
    int preeditCursor_ = 0;
    std::vector<int> x_; // scratch offsets
};
