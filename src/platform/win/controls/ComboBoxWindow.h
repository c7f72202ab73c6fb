#pragma once
// The "COMBOBOX" control: a selection field with a drop button, and a
// drop-down list that is a "LISTBOX" popup holding the items (the combo
// keeps none of its own). CBS_DROPDOWN puts an "EDIT" child in the field;
// CBS_DROPDOWNLIST draws the current item there itself.
//
// While the list is down the combo keeps the focus and holds the capture:
// it moves the list's selection with the pointer and the keys, and closes the
// list on a choice, Escape (the selection from before comes back), a press
// outside, or when it loses the focus or the capture.

#include "platform/win/controls/ControlWindow.h"
#include "platform/win/controls/Controls.h"

class TComboBoxWindow {
public:
    explicit TComboBoxWindow(HWND hwnd) : hwnd_(hwnd) {}
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    // The keys and the wheel, from the combo or from its edit: true when taken.
    bool HandleKey(UINT vk, bool alt);
    bool HandleWheel(WPARAM wParam, LPARAM lParam);
    bool Dropped() const noexcept { return dropped_; }
    // The dialog code of the combo (or its edit) while the list is up or down.
    UINT DialogCode(UINT base) const;

private:
    // --- Parts (ComboBoxWindow.cpp) ---------------------------------------------
    bool Create(const CREATESTRUCTW& cs);
    void Destroy();
    bool HasEdit() const noexcept { return edit_ != nullptr; }
    bool OwnerDraw() const noexcept { return style_ & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE); }
    LRESULT List(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageW(list_, message, wParam, lParam);
    }
    int Count() const { return int(List(LB_GETCOUNT)); }
    int Current() const { return int(List(LB_GETCURSEL)); }
    String ItemText(int index) const;
    // Makes Index current and shows it in the field; without an edit the
    // field text is the item's.
    void ShowItem(int index);
    // Index current as the user chose it: shown, and CBN_SELCHANGE.
    void SelectByUser(int index);
    String EditText() const;
    void SetEditText(const String& text);
    void OnEditCommand(WORD code);
    LRESULT OnComboMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT SetText(const char16_t* text);
    LRESULT GetText(WPARAM size, char16_t* buffer) const;
    LRESULT TextLength() const;
    void SetFont(HFONT font, bool redraw);
    void MeasureHeights();
    int FaceHeight() const noexcept { return fieldHeight_ + 6; }
    void Layout();
    void ForwardOwnerItem(UINT message, LPARAM lParam);
    void SetFocused(bool focused);

    // --- Keys (ComboBoxInput.cpp) -------------------------------------------------
    // Moves the selection to Index clamped to the items, as the user's choice.
    void Step(int index);
    // The next item starting with the typed character.
    void TypeAhead(char16_t ch);
    int VisibleRows() const;

    // --- Face (ComboBoxPaint.cpp) -------------------------------------------------
    // Into Dc when given (a paint a wrapper began), else through BeginPaint.
    void Paint(HDC dc);
    RECT ButtonRect() const;
    RECT FieldRect() const;
    void PaintField(HDC dc, const RECT& field);

    // --- Drop-down list (ComboBoxDropDown.cpp) --------------------------------------
    void DropDown();
    // Closes the list: Accept keeps what it shows, otherwise the selection
    // from before it opened comes back.
    void CloseUp(bool accept);
    RECT DroppedRect() const;
    void OnMouse(UINT message, LPARAM lParam);
    // A press on the list's scroll bar: the list tracks it, then the combo holds the pointer again.
    void TrackListScrollBar(POINT screen);
    void TrackListPoint(POINT screen);
    bool InList(POINT screen, bool clientOnly) const;

    HWND hwnd_;
    DWORD style_ = 0;
    HWND list_ = nullptr;
    HWND edit_ = nullptr;
    HFONT font_ = nullptr;
    int fieldHeight_ = 0;
    int droppedHeight_ = 0; // list height asked for by the window's height at creation or sizing
    int droppedWidth_ = 0;
    bool dropped_ = false;
    bool focused_ = false;
    bool trackingScroll_ = false; // the list's scroll bar holds the pointer for a while
    bool pressOpened_ = false;  // the press that is held opened the list
    bool settingEdit_ = false;  // the edit's text changes by the combo, not the user
    int selectionOnOpen_ = -1;  // what Escape brings back, with the edit's text
    String textOnOpen_;
    int reported_ = -1;         // the selection CBN_SELCHANGE last told of while down
};
