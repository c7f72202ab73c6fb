#pragma once
// The "SysTreeView32" window: a hierarchy of items shown as rows, one per
// item whose ancestors are all expanded, scrolled by whole rows with the
// vertical scroll bar.
//
// An item's handle is its address; handles of deleted items are refused.
// Texts, images and child counts may be left to the parent (the callback
// values), which answers TVN_GETDISPINFOW each time they are needed. The
// caret item is the selection; changing it sends TVN_SELCHANGINGW (a
// non-zero answer keeps the old one) and TVN_SELCHANGEDW; expanding or
// collapsing by the user or TVM_EXPAND sends TVN_ITEMEXPANDINGW (non-zero:
// refused) and TVN_ITEMEXPANDEDW. Notifications go to the parent as
// WM_NOTIFY.
//
// A row: indentation by level (one more step with TVS_LINESATROOT and
// lines or buttons), the button of an item with children (TVS_HASBUTTONS),
// the image from the normal image list (the selected image on the caret
// item) and the text; lines join siblings with TVS_HASLINES.
//
// TVS_TRACKSELECT: the item under the pointer (its image or label, the whole
// row with TVS_FULLROWSELECT) is hot, its text underlined in the hot-light
// colour, until the pointer moves off it or leaves the window.

#include <memory>
#include <unordered_set>
#include <vector>

#include "platform/win/controls/CommonControlConstants.h"
#include "platform/win/controls/ControlWindow.h"

class TTreeViewWindow {
public:
    explicit TTreeViewWindow(HWND hwnd) : hwnd_(hwnd) {}
    ~TTreeViewWindow();
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct TItem {
        TItem* parent = nullptr;
        std::vector<std::unique_ptr<TItem>> children;
        String text;
        bool textCallback = false;
        int image = 0;
        int selectedImage = 0;
        int childrenFlag = 0; // 0, 1 or I_CHILDRENCALLBACK; 0 with children present counts them
        UINT state = 0;
        LPARAM param = 0;
    };
    // What a row shows once callbacks are answered.
    struct TShown {
        String text;
        int image = -1;
        bool hasChildren = false;
    };

    static HTREEITEM ToHandle(const TItem* item) { return reinterpret_cast<HTREEITEM>(const_cast<TItem*>(item)); }
    TItem* FromHandle(HTREEITEM handle) const;
    DWORD Style() const;

    // --- Items (TreeViewWindow.cpp) ---
    LRESULT InsertItem(const TVINSERTSTRUCTW& insert);
    bool DeleteItem(TItem* item);
    void DeleteChildren(TItem& item);
    void ApplyItem(TItem& item, const TVITEMW& fields);
    bool GetItem(TVITEMW& fields);
    bool SetItem(const TVITEMW& fields);
    std::vector<std::unique_ptr<TItem>>& Siblings(TItem* item) { return item->parent ? item->parent->children : roots_; }
    int IndexInParent(const TItem* item);
    TItem* Next(TItem* item);
    TItem* Previous(TItem* item);
    LRESULT GetNextItem(UINT code, TItem* item);
    bool SortChildren(TItem* parent, bool recurse);
    TShown Shown(const TItem& item, UINT mask);
    bool HasChildren(const TItem& item);
    int Level(const TItem& item) const;
    // Sends WM_NOTIFY with Header filled in; answers the parent's reply.
    LRESULT Notify(NMHDR& header, UINT code);
    LRESULT NotifyTree(UINT code, UINT action, TItem* oldItem, TItem* newItem);

    // --- Selection and expansion (TreeViewWindow.cpp) ---
    bool Select(TItem* item, UINT cause);
    bool Expand(TItem* item, UINT code);
    void ExpandAll(TItem& item);

    // --- Rows and scrolling (TreeViewWindow.cpp) ---
    // The list of rows is made again only when asked after a change; the number
    // of rows is kept up to date as items come, go, expand and collapse.
    const std::vector<TItem*>& Rows();
    void RowsChanged();
    // Whether all the item's ancestors are expanded, so that it has a row.
    static bool Shows(const TItem& item);
    // The rows the item's children and their descendants take while it is expanded.
    static int RowsBelow(const TItem& item);
    // Records that the item's expanded state became Expanded; answers whether its rows changed.
    bool ExpandedChanged(const TItem& item, bool expanded);
    int RowOf(const TItem* item);
    int ClientHeight() const;
    int RowsInView() const;
    void SetTop(int top);
    void EnsureVisible(TItem* item);
    void UpdateScrollBar();
    void Scroll(WORD code);
    int FontHeight() const;
    void UpdateItemHeight();
    // Left edge of the item's button column and of its image.
    int IndentOf(const TItem& item) const;
    int ImageWidth() const;
    bool GetItemRect(TItem* item, bool textOnly, RECT& rect);
    // The label's part of the item's row.
    RECT LabelRect(TItem& item, const RECT& row);
    TItem* HitTest(POINT pt, UINT& flags);
    void InvalidateItem(TItem* item);

    // --- Painting (TreeViewPaint.cpp) ---
    void Paint(HDC dc, const RECT& area);
    void DrawRow(HDC dc, TItem& item, const RECT& row, HBRUSH background);
    void DrawLines(HDC dc, TItem& item, const RECT& row);
    void DrawButton(HDC dc, const TItem& item, const RECT& row);
    HFONT HotFont(HDC dc);

    // --- Keyboard and mouse (TreeViewInput.cpp) ---
    void KeyDown(UINT vk);
    void Char(char16_t ch);
    void ButtonDown(POINT pt, bool doubleClick);
    void RightButtonDown();
    void MouseMove(POINT pt);
    void SetHot(TItem* item);

    HWND hwnd_;
    std::vector<std::unique_ptr<TItem>> roots_;
    std::unordered_set<const TItem*> live_;
    std::vector<TItem*> rows_;
    bool rowsValid_ = false;
    int rowCount_ = 0;
    TItem* caret_ = nullptr;
    TItem* dropHilite_ = nullptr;
    TItem* hot_ = nullptr;
    HFONT font_ = nullptr;
    HFONT hotFont_ = nullptr; // the font underlined, made when first drawn
    HIMAGELIST images_ = nullptr;
    HIMAGELIST stateImages_ = nullptr;
    int itemHeight_ = 16;
    int indent_ = 19;
    int top_ = 0;
    bool focused_ = false;
    bool scrollBar_ = false; // made with WS_VSCROLL
    bool destroying_ = false;
};
