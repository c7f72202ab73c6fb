#pragma once
// The "SysHeader32" window: a row of column captions side by side from the
// left, each as wide as its item says.
//
// With HDS_BUTTONS the items press like buttons and a click sends
// HDN_ITEMCLICKW. Near an item's right edge the pointer takes the split
// cursor, and a press drags that divider: HDN_BEGINTRACKW (a nonzero answer
// refuses), HDN_TRACKW for each move, HDN_ENDTRACKW at release. With
// HDS_FULLDRAG the width follows the pointer, otherwise it changes at
// release; each change is announced by HDN_ITEMCHANGINGW (refusable) and
// HDN_ITEMCHANGEDW. A double click on a divider sends HDN_DIVIDERDBLCLICKW.

#include <vector>

#include "platform/win/controls/CommonControlConstants.h"
#include "platform/win/controls/ControlWindow.h"
#include "platform/rtl/String.h"

class THeaderWindow {
public:
    explicit THeaderWindow(HWND hwnd) : hwnd_(hwnd) {}
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct TItem {
        String text;
        int width = 0;
        int format = HDF_LEFT | HDF_STRING;
        LPARAM param = 0;
        HBITMAP bitmap = nullptr;
        int image = -1;
    };

    bool Valid(int index) const { return index >= 0 && index < int(items_.size()); }
    LRESULT InsertItem(int index, const HDITEMW* item);
    LRESULT DeleteItem(int index);
    LRESULT GetItem(int index, HDITEMW* item) const;
    LRESULT SetItem(int index, const HDITEMW& item, bool notify);
    void Apply(TItem& target, const HDITEMW& item);
    RECT ItemRect(int index) const;
    int Height() const;
    LRESULT Layout(HDLAYOUT* layout) const;
    HDHITTESTINFO HitTest(POINT pt) const;
    // Sends an HDN_ code for Index with Item (may be null); answers the reply.
    LRESULT Notify(UINT code, int index, HDITEMW* item) const;

    void ButtonDown(POINT pt, bool doubleClick);
    void MouseMove(POINT pt);
    void ButtonUp(POINT pt);
    void EndTracking();
    bool SetCursorForPoint();
    int TrackedWidth(POINT pt) const;

    void Paint(HDC dc);
    void DrawItem(HDC dc, int index, const RECT& rect);

    HWND hwnd_;
    std::vector<TItem> items_;
    HFONT font_ = nullptr;
    HIMAGELIST images_ = nullptr;
    int tracking_ = -1;   // the item whose divider is being dragged
    int trackStartX_ = 0; // where the drag began...
    int trackWidth_ = 0;  // ...and the item's width then
    int pressed_ = -1;    // the item held down as a button
    bool pressedIn_ = false;
};
