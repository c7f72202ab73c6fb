#pragma once
// The "ToolbarWindow32" class: rows of buttons, each with an image from the
// bar's image lists and a caption under it (right of it with TBSTYLE_LIST).
// A click sends NM_CLICK and then WM_COMMAND (the button's id, BN_CLICKED, the
// bar) to the parent; a press on a drop-down button's arrow part (anywhere on
// a BTNS_WHOLEDROPDOWN button) sends TBN_DROPDOWN instead. Flat bars draw a
// button's edge only while the pointer is over it or it is down, and show the
// hot image then. With TBSTYLE_TOOLTIPS the bar keeps a tool tip with a tool
// per button (id the button's id) whose text the parent answers to
// TTN_GETDISPINFOW. A divider line along the top lies in the non-client area
// unless CCS_NODIVIDER.

#include <vector>

#include "platform/rtl/String.h"
#include "platform/win/User.h"
#include "platform/win/controls/CommonControlConstants.h"

class TToolBarWindow {
public:
    explicit TToolBarWindow(HWND hwnd) : hwnd_(hwnd) {}
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct TButton {
        int image = I_IMAGENONE;
        int id = 0;
        BYTE state = TBSTATE_ENABLED;
        BYTE style = BTNS_BUTTON;
        DWORD_PTR data = 0;
        String caption;
        bool captionGiven = false; // iString was the caption itself, not an index
        INT_PTR stringIndex = -1;  // iString otherwise: an index into the bar's strings, or -1
        int fixedWidth = 0;        // TBIF_SIZE; 0: computed
        RECT rect{};               // client coordinates; empty while hidden

        bool Separator() const { return style & BTNS_SEP; }
        bool Hidden() const { return state & TBSTATE_HIDDEN; }
        bool Enabled() const { return state & TBSTATE_ENABLED; }
    };
    static constexpr int kPadX = 8;       // around a button's content, left and right together
    static constexpr int kPadY = 7;       // above and below together
    static constexpr int kCaptionGap = 1; // between an image and the caption under it
    static constexpr int kListGap = 4;    // between an image and the caption right of it
    enum TImageKind { kNormalImages, kHotImages, kDisabledImages, kImageKinds };

    static bool Contains(const RECT& r, POINT pt) {
        return pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom;
    }
    static bool Overlaps(const RECT& a, const RECT& b) {
        return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    }
    static bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
    static RECT Shifted(const RECT& r, int by) { return {r.left + by, r.top + by, r.right + by, r.bottom + by}; }

    DWORD Style() const { return DWORD(GetWindowLongPtrW(hwnd_, GWL_STYLE)); }
    bool Flat() const { return Style() & TBSTYLE_FLAT; }
    bool List() const { return Style() & TBSTYLE_LIST; }

    // Buttons (ToolBarWindow.cpp).
    int IndexOf(int id) const;
    TButton* ButtonOf(int id);
    TButton MakeButton(const TBBUTTON& given) const;
    bool InsertButtons(int index, int count, const TBBUTTON* given);
    // TB_ADDSTRINGW: strings one after the other, each ending in a null, an
    // empty one last; answers the index of the first.
    int AddStrings(LPCWSTR list);
    bool DeleteButton(int index);
    void ToButtonRecord(const TButton& button, TBBUTTON& record) const;
    bool SetState(int id, BYTE state);
    bool ChangeState(int id, BYTE bit, bool on);
    LRESULT GetButtonText(int id, LPWSTR buffer) const;
    LRESULT GetButtonInfo(WPARAM which, TBBUTTONINFOW* info) const;
    bool SetButtonInfo(WPARAM which, const TBBUTTONINFOW* info);
    HIMAGELIST SetImages(TImageKind kind, HIMAGELIST list);
    void SetTextRows(int rows);
    // Checks a BTNS_CHECK button; in a group the others are unchecked.
    void Check(int index, bool on);

    // Layout (ToolBarLayout.cpp).
    int MeasureLineHeight() const;
    bool CaptionsShown() const;
    bool CaptionOf(const TButton& button) const;
    // The width and height of a button as its image and caption ask.
    SIZE ContentSize(const TButton& button) const;
    // The size of the bar's buttons: TB_SETBUTTONSIZE's, else what the largest content asks.
    SIZE ButtonSize() const;
    int ArrowWidth(const TButton& button) const;
    int ButtonWidth(const TButton& button, int barWidth) const;
    void Layout();
    // Lays out again and repaints everything.
    void Relayout();
    void AutoSize();
    int DividerHeight() const;
    // Index of the button at Pt, or -1 - the index of the separator there, or -1 - the count.
    int HitTest(POINT pt) const;
    // The arrow part of a drop-down button (empty when it has none).
    RECT ArrowRect(const TButton& button) const;
    SIZE MaxSize() const;

    // Painting (ToolBarPaint.cpp).
    void Paint(HDC dc, const RECT& area);
    void PaintButton(HDC dc, int index);
    void PaintSeparator(HDC dc, const TButton& button);
    void PaintImage(HDC dc, const TButton& button, bool hot, int x, int y);
    void PaintCaption(HDC dc, const TButton& button, RECT rect);
    void PaintDivider();

    // Input (ToolBarInput.cpp).
    void MouseMove(POINT pt);
    void ButtonDown(POINT pt);
    void ButtonUp(POINT pt);
    void CancelPress();
    void SetHot(int index);
    // The pointer left the bar.
    void MouseLeft();
    LRESULT DropDown(int index);
    void Click(int index, POINT pt);
    void InvalidateButton(int index);
    void RelayToTip(UINT message, WPARAM wParam, LPARAM lParam);

    // Tool tips (ToolBarWindow.cpp).
    void CreateToolTip();
    void UpdateTools();
    void RemoveTools();

    HWND hwnd_;
    std::vector<TButton> buttons_;
    HIMAGELIST images_[kImageKinds] = {};
    SIZE bitmapSize_{16, 15};
    SIZE buttonSize_{0, 0}; // TB_SETBUTTONSIZE; 0: computed
    DWORD extendedStyle_ = 0;
    int textRows_ = 1;
    int indent_ = 0;
    int rows_ = 1;
    int lineHeight_ = 0; // of the font, measured at each layout
    std::vector<String> strings_;
    HFONT font_ = nullptr;
    HWND tip_ = nullptr;
    bool ownTip_ = false;
    std::vector<int> toolIds_; // the tools the tip has
    int hot_ = -1;     // the button under the pointer
    int pressed_ = -1; // the button held down by the left button
    bool pressedInside_ = false; // the pointer is over the held button
    bool pressedArrow_ = false;  // the held part is the drop-down arrow
};
