#pragma once
// The "SysListView32" window in report view: a header child on top whose
// items are the columns, and below it one row per item, a cell per column
// (column N shows the item's sub-item N; column 0 its caption, after its
// small image). Rows scroll vertically by whole rows (the top index),
// columns horizontally by pixels; the header moves with them.
//
// Selection: one item with LVS_SINGLESEL, otherwise any set (Ctrl toggles,
// Shift takes the range from the anchor). The focused item has the focus
// rectangle. Every change of an item's state sends LVN_ITEMCHANGED.
// Without LVS_SHOWSELALWAYS the selection shows only while focused.
// LVS_EX_FULLROWSELECT highlights and hits the whole row, otherwise the
// first column only.
//
// To the notified window go, as WM_NOTIFY: LVN_ITEMCHANGED, LVN_COLUMNCLICK
// (a click on a header item; LVS_NOSORTHEADER makes the items flat),
// LVN_KEYDOWN before each key is handled, NM_CLICK, NM_DBLCLK, NM_RCLICK and
// NM_RETURN.

#include <vector>

#include "platform/rtl/String.h"
#include "platform/win/controls/CommonControlConstants.h"
#include "platform/win/controls/ControlWindow.h"

class TListViewWindow {
public:
    explicit TListViewWindow(HWND hwnd) : hwnd_(hwnd) {}
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct TItem {
        std::vector<String> texts; // caption, then sub-items
        int image = -1;
        LPARAM param = 0;
        UINT state = 0;
    };

    // Room either side of a cell's text.
    static constexpr int kCellMargin = 6;

    DWORD Style() const;
    bool SingleSelect() const { return Style() & LVS_SINGLESEL; }
    bool FullRow() const { return exStyle_ & LVS_EX_FULLROWSELECT; }
    bool Valid(int index) const { return index >= 0 && index < Count(); }
    int Count() const { return int(items_.size()); }

    // --- Items (ListViewWindow.cpp), columns (ListViewColumns.cpp) ---
    void Create();
    LRESULT InsertItem(const LVITEMW* item);
    LRESULT DeleteItem(int index);
    void DeleteAllItems();
    LRESULT SetItem(const LVITEMW* item);
    LRESULT GetItem(LVITEMW* item) const;
    LRESULT SetItemText(int index, const LVITEMW* item);
    LRESULT GetItemText(int index, LVITEMW* item) const;
    const String& Text(int index, int subItem) const;
    LRESULT GetNextItem(int start, UINT flags) const;
    // ByIndex: the comparison takes the items' indexes before the sort, else their lParams.
    LRESULT SortItems(LPARAM sortParam, PFNLVCOMPARE compare, bool byIndex);
    int ColumnCount() const;
    LRESULT InsertColumn(int index, const LVCOLUMNW* column);
    LRESULT DeleteColumn(int index);
    LRESULT SetColumn(int index, const LVCOLUMNW* column);
    LRESULT GetColumn(int index, LVCOLUMNW* column) const;
    int ColumnWidth(int index) const;
    LRESULT SetColumnWidth(int index, int width);
    int WidestText(int column) const;
    LRESULT HeaderNotify(const NMHEADERW& nm);

    // --- State and notifications (ListViewWindow.cpp) ---
    // Sets the State bits of Mask on Index, announcing the change.
    void SetState(int index, UINT state, UINT mask);
    void SelectOnly(int index);
    void SelectRange(int from, int to);
    void Focus(int index);
    LRESULT Notify(NMHDR& hdr, UINT code) const;
    void NotifyActivate(UINT code, int index, POINT pt) const;

    // --- Geometry and scrolling (ListViewLayout.cpp) ---
    int HeaderHeight() const;
    RECT ClientRect() const;
    int TotalWidth() const;
    int CountPerPage() const;
    int MaxTop() const;
    LRESULT GetItemRect(int index, RECT* rect) const;
    RECT RowRect(int index) const;
    LVHITTESTINFO HitTest(POINT pt) const;
    void SetTop(int top);
    void SetScrollX(int x);
    void EnsureVisible(int index, bool partialOk);
    void UpdateLayout();
    void UpdateScrollBars();
    void Scroll(int bar, WORD code);
    int FontHeight() const;
    void UpdateRowHeight();

    // --- Keyboard and mouse (ListViewInput.cpp) ---
    void KeyDown(UINT vk);
    void MoveByKey(int index);
    void ButtonDown(POINT pt, UINT keys, bool doubleClick, bool right);

    // --- Painting (ListViewPaint.cpp) ---
    void Paint(HDC dc, const RECT& area);
    void DrawRow(HDC dc, int index, const RECT& row);
    void InvalidateItem(int index);

    HWND hwnd_;
    HWND header_ = nullptr;
    std::vector<TItem> items_;
    HFONT font_ = nullptr;
    HIMAGELIST smallImages_ = nullptr;
    HIMAGELIST normalImages_ = nullptr;
    DWORD exStyle_ = 0;
    int rowHeight_ = 16;
    int top_ = 0;
    int scrollX_ = 0;
    int focus_ = -1;
    int anchor_ = -1;
    bool focused_ = false;
    int wheelDelta_ = 0;
};
