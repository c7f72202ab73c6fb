#pragma once
// The "LISTBOX" window: a vertical list of rows, one column, scrolled by
// whole rows (the top index) with the vertical scroll bar.
//
// Rows are the font's height (LBS_OWNERDRAWFIXED: what the notified window
// answers to one WM_MEASUREITEM at creation; LBS_OWNERDRAWVARIABLE: one per
// item as it is added). Owner-drawn rows are drawn by the notified window
// through WM_DRAWITEM, for the rows in sight only; without LBS_HASSTRINGS
// they keep no text, LB_ADDSTRING's lParam being the item's data.
//
// Selection: one item, or with LBS_MULTIPLESEL any set of items (a click or
// Space toggles one), or with LBS_EXTENDEDSEL ranges from the anchor (Shift),
// single items added or taken away (Ctrl). The caret is the item with the
// focus rectangle. LBN_SELCHANGE and LBN_DBLCLK come with LBS_NOTIFY and only
// for the user's doing; LBN_SETFOCUS and LBN_KILLFOCUS always.
//
// Notifications, WM_DRAWITEM, WM_MEASUREITEM and WM_CTLCOLORLISTBOX go to
// the parent, or to the owner of a popup list. A popup list never takes the
// focus: its owner forwards keys to it, and while no button is down a
// pointer moving over it selects the row beneath, as a menu does.

#include "platform/win/controls/ControlWindow.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/controls/ListBoxItems.h"

class TListBoxWindow {
public:
    explicit TListBoxWindow(HWND hwnd) : hwnd_(hwnd) {}
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    // --- Styles ---
    DWORD Style() const;
    bool MultiSelect() const { return Style() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL); }
    bool ExtendedSelect() const { return Style() & LBS_EXTENDEDSEL; }
    bool OwnerDraw() const { return Style() & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE); }
    bool VariableHeight() const { return Style() & LBS_OWNERDRAWVARIABLE; }
    bool HasStrings() const { return !OwnerDraw() || (Style() & LBS_HASSTRINGS); }
    bool IsPopup() const { return !(Style() & WS_CHILD); }
    bool Notifies() const { return Style() & LBS_NOTIFY; }

    // --- Items (ListBoxWindow.cpp) ---
    void Create();
    LRESULT AddItem(int index, LPARAM lParam, bool sorted);
    LRESULT DeleteItem(int index);
    void ResetContent();
    LRESULT GetText(int index, char16_t* buffer) const;
    LRESULT GetTextLength(int index) const;
    LRESULT FindItem(int start, LPARAM lParam, bool exact) const;
    int MeasureItem(int index, ULONG_PTR data);
    int FontHeight() const;
    LRESULT SetItemHeight(int index, int height);
    LRESULT GetItemHeight(int index) const;

    // --- Selection (ListBoxWindow.cpp) ---
    bool IsSelected(int index) const;
    // Selects Index alone (-1: nothing), moving the caret to it.
    void SelectOnly(int index);
    // Multi-selection: sets First..Last (either order) to Selected.
    void SelectRange(int first, int last, bool selected);
    void SetSelected(int index, bool selected);
    void SetCaret(int index);
    LRESULT SetCurSel(int index);
    LRESULT SetSel(bool selected, int index);
    LRESULT GetSelItems(int max, int* indexes) const;
    LRESULT SelItemRange(bool selected, int first, int last);
    LRESULT SetCaretIndex(int index);
    void NotifySelChange();

    // --- Geometry and scrolling (ListBoxWindow.cpp) ---
    int RowHeight(int index) const;
    int ClientHeight() const;
    int ClientWidth() const;
    // Rows wholly visible from Top down (at least one).
    int RowsFrom(int top) const;
    int MaxTop() const;
    RECT ItemRect(int index) const;
    LRESULT ItemFromPoint(POINT pt) const;
    void SetTop(int top);
    void EnsureVisible(int index);
    void UpdateScrollBar();
    void Scroll(WORD code);
    void KeepIntegralHeight();
    bool Redrawing() const { return redraw_; }

    // --- Painting (ListBoxPaint.cpp) ---
    void Paint(HDC dc, const RECT& area);
    // Redraws one row now (ODA_SELECT, ODA_FOCUS), when in sight.
    void RedrawItem(int index, UINT action);
    void InvalidateItem(int index);
    void InvalidateFrom(int index);
    // Prepares DC (font, colours) and answers the background brush.
    HBRUSH PrepareDC(HDC dc) const;
    void DrawItem(HDC dc, int index, const RECT& rect, UINT action, HBRUSH background);

    // --- Keyboard and mouse (ListBoxInput.cpp) ---
    void KeyDown(UINT vk);
    void Char(char16_t ch);
    // Moves the caret to Index as a key does, selecting by the style and modifiers.
    void MoveByKey(int index, bool shift, bool ctrl);
    // A single-selection list's choice of Index, in sight and notified when it changed.
    void ChooseSingle(int index);
    void ButtonDown(POINT pt, UINT keys, bool doubleClick);
    void MouseMove(POINT pt, UINT keys);
    void ButtonUp();
    void Wheel(int delta);
    // Selects by the pointer at Index while a button is held.
    void TrackTo(int index);

    HWND hwnd_;
    TListBoxItems items_;
    HFONT font_ = nullptr;
    int itemHeight_ = 16;
    int top_ = 0;
    int caret_ = 0;
    int anchor_ = -1;
    int current_ = -1; // the selection of a single-selection list
    bool focused_ = false;
    bool redraw_ = true;         // WM_SETREDRAW
    bool scrollBar_ = false;     // made with WS_VSCROLL
    bool tracking_ = false;      // a button went down and the capture is ours
    bool trackCtrl_ = false;     // extended selection: the press held Ctrl...
    bool trackAdds_ = true;      // ...and the rows dragged over become selected (or not)
    bool sizing_ = false;        // the window is being sized to whole rows
    int wheelDelta_ = 0;         // wheel turns short of a notch
};
