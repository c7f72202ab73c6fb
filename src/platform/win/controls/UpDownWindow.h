#pragma once
// The state of an "msctls_updown32" window: a range, a position and two arrow
// buttons. A step (a press, a held button on the repeat timer, an arrow key)
// first asks the notify target with UDN_DELTAPOS, which may refuse it, then
// moves the position within the range (round it with UDS_WRAP) and reports it
// as WM_VSCROLL (WM_HSCROLL with UDS_HORZ) SB_THUMBPOSITION. Releasing the
// button ends with SB_ENDSCROLL. A buddy window may show the position as its
// text (UDS_SETBUDDYINT), have the arrows beside it (UDS_ALIGNRIGHT,
// UDS_ALIGNLEFT) and pass its Up and Down keys on (UDS_ARROWKEYS).

#include "platform/rtl/String.h"
#include "platform/win/controls/Controls.h"

class TUpDownWindow {
public:
    explicit TUpDownWindow(HWND hwnd) : hwnd_(hwnd) {}
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    // +1 towards the upper end of the range, -1 towards the lower; false
    // when the notify target refused the step.
    bool Step(int direction);

private:
    enum class TPart { None, Up, Down };

    DWORD Style() const { return DWORD(GetWindowLongPtrW(hwnd_, GWL_STYLE)); }
    bool Horizontal() const { return Style() & UDS_HORZ; }
    TPart PartAt(POINT pt) const;
    RECT PartRect(TPart part) const;
    int Lowest() const { return low_ < high_ ? low_ : high_; }
    int Highest() const { return low_ < high_ ? high_ : low_; }
    int Clamped(int value) const;

    void Press(POINT pt);
    void Track(POINT pt);
    void EndPress();
    void Repeat();
    void Report(WORD code);
    void Paint(HDC dc);

    // The buddy (UpDownBuddy.cpp).
    HWND SetBuddy(HWND buddy);
    void AlignToBuddy();
    void ShowInBuddy();
    // The buddy's text as a position; false when it is no number.
    bool ReadBuddy();

    HWND hwnd_;
    HWND buddy_ = nullptr;
    int low_ = 0;
    int high_ = 100;
    int pos_ = 0;
    TPart pressed_ = TPart::None;
    bool pressedInside_ = false;
};

// Formats a position as the buddy shows it, with thousands grouped unless
// Grouped is false; parses it back, grouping allowed.
String UpDownText(int value, bool grouped);
bool ParseUpDownText(const String& text, int& value);
