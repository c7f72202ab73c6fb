#pragma once
// The "SysTabControl32" class: one row of plain tabs on top of a raised frame
// whose inside is the display area. A click or an arrow key selects a tab,
// asking the parent first (TCN_SELCHANGING may refuse) and telling it after
// (TCN_SELCHANGE); TCM_SETCURSEL selects without notifying. When the tabs
// do not fit, a horizontal up-down child at the row's right end scrolls them
// by whole tabs.

#include <vector>

#include "platform/rtl/String.h"
#include "platform/win/User.h"
#include "platform/win/controls/CommonControlConstants.h"

class TTabControlWindow {
public:
    explicit TTabControlWindow(HWND hwnd) : hwnd_(hwnd) {}
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct TTab {
        String text;
        int image = -1;
        DWORD state = 0;
        LPARAM param = 0;
    };

    int InsertItem(int index, const TCITEMW& item);
    bool DeleteItem(int index);
    void DeleteAll();
    bool GetItem(int index, TCITEMW& item) const;
    bool SetItem(int index, const TCITEMW& item);
    int SetCurSel(int index);
    // Selects Index as the user does: the parent may refuse.
    void SelectByUser(int index);
    LRESULT Notify(UINT code);
    void OnKeyDown(WPARAM key);
    void OnButtonDown(POINT pt);

    // Layout: tab rectangles in client coordinates, the row's height.
    void Layout();
    // Shows the scroller when the tabs overflow and keeps FirstVisible in
    // range; Widths are the tabs' natural widths.
    void UpdateScroller(const std::vector<int>& widths);
    void Scroll(int firstVisible);
    void EnsureVisible(int index);
    // The right end of the visible part of the row.
    int VisibleRight() const;
    int RowHeight();
    RECT ItemRect(int index);
    int HitTest(POINT pt, UINT* flags);
    void AdjustRect(bool larger, RECT& rect);
    void InvalidateTab(int index);

    void Paint(HDC dc);
    void PaintTab(HDC dc, int index, bool selected);

    HWND hwnd_;
    std::vector<TTab> tabs_;
    std::vector<RECT> rects_;
    bool layoutValid_ = false;
    int rowHeight_ = 0;
    int selected_ = -1;
    int firstVisible_ = 0;
    int lastFirstVisible_ = 0; // the furthest scroll that still shows the last tab whole
    HWND scroller_ = nullptr;
    HFONT font_ = nullptr;
    HIMAGELIST images_ = nullptr;
    bool focused_ = false;
};
