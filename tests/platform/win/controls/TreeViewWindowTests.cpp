#include "TreeViewFixture.h"

#include <functional>

#include "platform/win/controls/Controls.h"
#include "platform/win/gdi/Gdi.h"

namespace {

class TreeViewWindow : public TreeViewTest {
protected:
    // Fruit (Apple, Cherry), Vegetables (Bean); Fruit expanded, nothing selected.
    void Build(DWORD style = 0) {
        tree = Tree(style);
        fruit = Insert(tree, TVI_ROOT, u"Fruit", TVI_LAST, 1);
        veg = Insert(tree, TVI_ROOT, u"Vegetables", TVI_LAST, 2);
        cherry = Insert(tree, fruit, u"Cherry");
        apple = Insert(tree, fruit, u"Apple", TVI_FIRST);
        bean = Insert(tree, veg, u"Bean");
        SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(fruit));
        RunUntilIdle();
        notes.clear();
    }
    void ClickAt(int x, int y, bool twice = false) {
        Advance(1000);
        Click(tree, x, y);
        if (twice) Click(tree, x, y);
        RunUntilIdle();
    }

    // The longest run of Color along one line of R: an underline spans the text.
    static int LongestRun(HWND hwnd, const RECT& r, COLORREF color) {
        int longest = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left, run = 0; x < r.right; ++x) {
                run = ScreenPixel(hwnd, x, y) == color ? run + 1 : 0;
                longest = std::max(longest, run);
            }
        return longest;
    }

    HWND tree = nullptr;
    HTREEITEM fruit{}, veg{}, apple{}, cherry{}, bean{};
};

TEST_F(TreeViewWindow, ItemsKeepTheirPlaceAndAreFoundByRelation) {
    Build();
    const HTREEITEM sorted = Insert(tree, fruit, u"Banana", TVI_SORT);
    const HTREEITEM afterApple = Insert(tree, fruit, u"Avocado", apple);
    struct {
        UINT code;
        HTREEITEM from;
        HTREEITEM expected;
    } const cases[] = {
        {TVGN_ROOT, nullptr, fruit},          {TVGN_CHILD, nullptr, fruit},
        {TVGN_NEXT, fruit, veg},              {TVGN_PREVIOUS, veg, fruit},
        {TVGN_PREVIOUS, fruit, nullptr},      {TVGN_CHILD, fruit, apple},
        {TVGN_NEXT, apple, afterApple},       {TVGN_NEXT, afterApple, sorted},
        {TVGN_NEXT, sorted, cherry},          {TVGN_PARENT, cherry, fruit},
        {TVGN_PARENT, fruit, nullptr},        {TVGN_FIRSTVISIBLE, nullptr, fruit},
        {TVGN_NEXTVISIBLE, cherry, veg},      {TVGN_NEXTVISIBLE, veg, nullptr}, // Bean is collapsed away
        {TVGN_PREVIOUSVISIBLE, veg, cherry},  {TVGN_CARET, nullptr, nullptr},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Next(tree, c.code, c.from), c.expected) << "code " << c.code << " from " << Text(tree, c.from);
    EXPECT_EQ(SendMessageW(tree, TVM_GETCOUNT, 0, 0), 7);
}

TEST_F(TreeViewWindow, DeletingABranchNotifiesEachItemAndForgetsTheirHandles) {
    Build();
    ASSERT_TRUE(SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(fruit)));
    std::vector<HTREEITEM> deleted;
    for (const TTreeViewNote& n : notes)
        if (n.code == TVN_DELETEITEMW) deleted.push_back(n.oldItem);
    EXPECT_EQ(deleted, (std::vector<HTREEITEM>{cherry, apple, fruit}));
    EXPECT_EQ(SendMessageW(tree, TVM_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(Text(tree, apple), u"<none>");
    EXPECT_EQ(Insert(tree, apple, u"Orphan"), nullptr);
    EXPECT_EQ(Next(tree, TVGN_ROOT), veg);
}

TEST_F(TreeViewWindow, SelectingAsksFirstAndARefusalKeepsTheSelection) {
    Build();
    ASSERT_TRUE(SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(apple)));
    EXPECT_EQ(Codes(), (std::vector<UINT>{TVN_SELCHANGINGW, TVN_SELCHANGEDW}));
    EXPECT_EQ(notes[1].oldItem, nullptr);
    EXPECT_EQ(notes[1].newItem, apple);
    refused = {TVN_SELCHANGINGW};
    notes.clear();
    EXPECT_FALSE(SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(cherry)));
    EXPECT_EQ(Codes(), (std::vector<UINT>{TVN_SELCHANGINGW}));
    EXPECT_EQ(Next(tree, TVGN_CARET), apple);
    TVITEMW state{TVIF_STATE, apple, 0, TVIS_SELECTED};
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(state.state, TVIS_SELECTED);
}

TEST_F(TreeViewWindow, SelectingAHiddenItemExpandsItsBranch) {
    Build();
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(bean));
    EXPECT_TRUE(Expanded(tree, veg));
    EXPECT_EQ(Next(tree, TVGN_NEXTVISIBLE, veg), bean);
}

TEST_F(TreeViewWindow, ExpansionCanBeRefusedAndCollapsingMovesTheSelectionUp) {
    Build();
    refused = {TVN_ITEMEXPANDINGW};
    EXPECT_FALSE(SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(veg)));
    EXPECT_FALSE(Expanded(tree, veg));
    refused.clear();
    notes.clear();
    EXPECT_TRUE(SendMessageW(tree, TVM_EXPAND, TVE_TOGGLE, reinterpret_cast<LPARAM>(veg)));
    EXPECT_EQ(Codes(), (std::vector<UINT>{TVN_ITEMEXPANDINGW, TVN_ITEMEXPANDEDW}));
    EXPECT_EQ(notes[0].action, TVE_EXPAND);
    EXPECT_FALSE(SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(bean))) << "no children";

    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(cherry));
    SendMessageW(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(fruit));
    EXPECT_EQ(Next(tree, TVGN_CARET), fruit);
}

TEST_F(TreeViewWindow, ClicksSelectRowsAndToggleBranches) {
    Build(TVS_HASBUTTONS | TVS_LINESATROOT);
    const RECT appleLabel = ItemRect(tree, apple, true);
    ClickAt(appleLabel.left + 3, appleLabel.top + 3);
    EXPECT_EQ(SelectedText(tree), u"Apple");
    EXPECT_EQ(Codes(), (std::vector<UINT>{NM_SETFOCUS, TVN_SELCHANGINGW, TVN_SELCHANGEDW, NM_CLICK}));
    EXPECT_EQ(notes[2].action, TVC_BYMOUSE);

    // The button of Vegetables lies in the indentation left of its image.
    const RECT vegRow = ItemRect(tree, veg, false);
    const int indent = int(SendMessageW(tree, TVM_GETINDENT, 0, 0));
    TVHITTESTINFO hit{{indent / 2, vegRow.top + 3}};
    EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit))), veg);
    EXPECT_EQ(hit.flags, TVHT_ONITEMBUTTON);
    ClickAt(indent / 2, vegRow.top + 3);
    EXPECT_TRUE(Expanded(tree, veg));
    EXPECT_EQ(SelectedText(tree), u"Apple");

    // A double click on a label toggles its branch.
    const RECT fruitLabel = ItemRect(tree, fruit, true);
    notes.clear();
    ClickAt(fruitLabel.left + 3, fruitLabel.top + 3, true);
    EXPECT_FALSE(Expanded(tree, fruit));
    EXPECT_EQ(SelectedText(tree), u"Fruit");
    EXPECT_EQ(Codes().back(), TVN_ITEMEXPANDEDW);
}

TEST_F(TreeViewWindow, KeysMoveTheSelectionAndExpand) {
    Build();
    SetFocus(tree);
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(fruit));
    struct {
        UINT vk;
        const char16_t* text;
        const char16_t* selected;
    } const steps[] = {
        {VK_DOWN, nullptr, u"Apple"},  {VK_DOWN, nullptr, u"Cherry"},     {VK_LEFT, nullptr, u"Fruit"},
        {VK_LEFT, nullptr, u"Fruit"},  // collapses
        {VK_DOWN, nullptr, u"Vegetables"}, {VK_RIGHT, nullptr, u"Vegetables"}, // expands
        {VK_RIGHT, nullptr, u"Bean"},  {VK_HOME, nullptr, u"Fruit"},      {VK_END, nullptr, u"Bean"},
        {'V', u"v", u"Vegetables"},    {'F', u"f", u"Fruit"},
    };
    for (const auto& s : steps) {
        DesktopPress(s.vk, s.text ? String(s.text) : String());
        RunUntilIdle();
        EXPECT_EQ(SelectedText(tree), s.selected) << "after key " << s.vk;
    }
    EXPECT_FALSE(Expanded(tree, fruit));
    EXPECT_TRUE(Expanded(tree, veg));
    EXPECT_NE(std::find(Codes().begin(), Codes().end(), TVN_KEYDOWN), Codes().end());
}

TEST_F(TreeViewWindow, CallbacksAreAskedOfTheParent) {
    tree = Tree(0);
    TVINSERTSTRUCTW insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_CHILDREN;
    insert.item.pszText = LPSTR_TEXTCALLBACKW;
    insert.item.iImage = I_IMAGECALLBACK;
    insert.item.cChildren = I_CHILDRENCALLBACK;
    const auto item =
        reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    dispInfo = [](NMTVDISPINFOW& info) {
        if (info.item.mask & TVIF_TEXT) std::copy_n(u"从父窗口", 5, info.item.pszText);
        if (info.item.mask & TVIF_IMAGE) info.item.iImage = 3;
        if (info.item.mask & TVIF_CHILDREN) info.item.cChildren = 1;
    };
    char16_t buffer[3] = {u'x', u'x', u'x'};
    TVITEMW fields{TVIF_TEXT | TVIF_IMAGE | TVIF_CHILDREN, item};
    fields.pszText = buffer;
    fields.cchTextMax = 3;
    ASSERT_TRUE(SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&fields)));
    EXPECT_EQ(String(buffer), u"从父") << "cut to the buffer";
    TVITEMW length{};
    length.mask = TVIF_TEXT;
    length.hItem = item;
    ASSERT_TRUE(SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&length)));
    EXPECT_EQ(length.cchTextMax, 4) << "the length for a null buffer";
    EXPECT_EQ(fields.iImage, 3);
    EXPECT_EQ(fields.cChildren, 1);
    // Children the parent announces can be expanded before any exist.
    EXPECT_TRUE(SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item)));
}

TEST_F(TreeViewWindow, PaintsVisibleRowsWithTheSelectionHighlighted) {
    Build(TVS_SHOWSELALWAYS);
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(cherry));
    SetFocus(tree);
    RunUntilIdle();
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const RECT cherryLabel = ItemRect(tree, cherry, true);
    const RECT appleRow = ItemRect(tree, apple, false);
    EXPECT_TRUE(RectHasColor(tree, cherryLabel, highlight));
    EXPECT_FALSE(RectHasColor(tree, appleRow, highlight));
    EXPECT_TRUE(RectHasColor(tree, ItemRect(tree, apple, true), GetSysColor(COLOR_WINDOWTEXT)));
    EXPECT_GT(cherryLabel.left, ItemRect(tree, fruit, true).left) << "children are indented";
    // Unfocused, TVS_SHOWSELALWAYS keeps the selection in the face colour.
    SetFocus(parent);
    RunUntilIdle();
    EXPECT_TRUE(RectHasColor(tree, ItemRect(tree, cherry, true), GetSysColor(COLOR_BTNFACE)));
    // A collapsed branch gives its rows to the items below.
    SendMessageW(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(fruit));
    RunUntilIdle();
    EXPECT_EQ(ItemRect(tree, veg, false).top, appleRow.top);
    EXPECT_EQ(ItemRect(tree, apple, false).bottom, 0) << "a hidden item has no rectangle";
}

TEST_F(TreeViewWindow, LinesAndButtonsAreDrawnWhenAsked) {
    struct {
        DWORD style;
        bool fruitMarks; // the indentation of a root with children
        bool appleMarks; // the indentation of a leaf child
    } const cases[] = {
        {0, false, false},
        {TVS_HASBUTTONS, false, false}, // no button column for roots
        {TVS_HASBUTTONS | TVS_LINESATROOT, true, false},
        {TVS_HASLINES | TVS_LINESATROOT, true, true},
    };
    for (const auto& c : cases) {
        Build(c.style);
        RunUntilIdle();
        const COLORREF gray = GetSysColor(COLOR_GRAYTEXT);
        const RECT fruitLabel = ItemRect(tree, fruit, true), appleLabel = ItemRect(tree, apple, true);
        EXPECT_EQ(RectHasColor(tree, {0, fruitLabel.top, fruitLabel.left, fruitLabel.bottom}, gray), c.fruitMarks)
            << "style " << c.style;
        EXPECT_EQ(RectHasColor(tree, {0, appleLabel.top, appleLabel.left, appleLabel.bottom}, gray), c.appleMarks)
            << "style " << c.style;
        DestroyWindow(tree);
    }
}

TEST_F(TreeViewWindow, TheCaretIsScrolledIntoSightAndTheScrollBarFollows) {
    tree = Tree(WS_VSCROLL);
    std::vector<HTREEITEM> items;
    for (int i = 0; i < 30; ++i) {
        const String text = u"row " + String(1, char16_t(u'A' + i));
        items.push_back(Insert(tree, TVI_ROOT, text.c_str()));
    }
    const RECT row = ItemRect(tree, items[0], false);
    RECT client{};
    GetClientRect(tree, &client);
    const int inView = client.bottom / (row.bottom - row.top);
    EXPECT_EQ(SendMessageW(tree, TVM_GETVISIBLECOUNT, 0, 0), inView);
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(items[20]));
    EXPECT_EQ(Next(tree, TVGN_FIRSTVISIBLE), items[20 - inView + 1]);
    EXPECT_EQ(ItemRect(tree, items[20], false).bottom, inView * (row.bottom - row.top));
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS | SIF_RANGE;
    GetScrollInfo(tree, SB_VERT, &info);
    EXPECT_EQ(info.nPos, 20 - inView + 1);
    EXPECT_EQ(info.nMax, 29);
    SendMessageW(tree, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(Next(tree, TVGN_FIRSTVISIBLE), items[0]);
    SetFocus(tree);
    DesktopPress(VK_NEXT);
    RunUntilIdle();
    EXPECT_EQ(Next(tree, TVGN_CARET), items[20 + inView - 1]);
}

// The scroll range follows the rows through changes to shown and hidden branches.
TEST_F(TreeViewWindow, TheScrollRangeFollowsTheRowsWhateverChangesBranches) {
    tree = Tree(WS_VSCROLL, {10, 10, 210, 40});
    const HTREEITEM a = Insert(tree, TVI_ROOT, u"A");
    Insert(tree, TVI_ROOT, u"B");
    const HTREEITEM a1 = Insert(tree, a, u"A1");
    Insert(tree, a, u"A2");
    Insert(tree, a1, u"A1a");
    Insert(tree, a1, u"A1b");
    auto expand = [&](HTREEITEM item, UINT code) {
        SendMessageW(tree, TVM_EXPAND, code, reinterpret_cast<LPARAM>(item));
    };
    auto setExpanded = [&](HTREEITEM item) {
        TVITEMW fields{};
        fields.mask = TVIF_STATE;
        fields.hItem = item;
        fields.state = fields.stateMask = TVIS_EXPANDED;
        SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&fields));
    };
    const struct {
        const char* step;
        std::function<void()> change;
        int rows;
    } steps[] = {
        {"two roots", [] {}, 2},
        {"a hidden branch expands", [&] { expand(a1, TVE_EXPAND); }, 2},
        {"its parent expands", [&] { expand(a, TVE_EXPAND); }, 6},
        {"an item comes into a shown branch", [&] { Insert(tree, a1, u"A1c"); }, 7},
        {"a shown branch collapses", [&] { expand(a1, TVE_COLLAPSE); }, 4},
        {"an item comes into a hidden branch", [&] { Insert(tree, a1, u"A1d"); }, 4},
        {"the expanded state is set directly", [&] { setExpanded(a1); }, 8},
        {"a shown item goes with its branch", [&] { SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(a)); }, 1},
    };
    for (const auto& s : steps) {
        s.change();
        int walked = 0;
        for (HTREEITEM i = Next(tree, TVGN_ROOT); i; i = Next(tree, TVGN_NEXTVISIBLE, i)) ++walked;
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE;
        GetScrollInfo(tree, SB_VERT, &info);
        EXPECT_EQ(walked, s.rows) << s.step;
        EXPECT_EQ(info.nMax, std::max(s.rows - 1, 0)) << s.step;
    }
}

// A scroll step moves the pixels already drawn and paints the row it uncovers.
TEST_F(TreeViewWindow, ScrollingByALineMovesTheDrawnRows) {
    tree = Tree(WS_VSCROLL | TVS_SHOWSELALWAYS);
    std::vector<HTREEITEM> items;
    for (int i = 0; i < 30; ++i) items.push_back(Insert(tree, TVI_ROOT, (u"row " + String(1, char16_t(u'A' + i))).c_str()));
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(items[3]));
    RunUntilIdle();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const RECT before = ItemRect(tree, items[3], true);
    ASSERT_TRUE(RectHasColor(tree, before, face));
    SendMessageW(tree, WM_VSCROLL, SB_LINEDOWN, 0);
    UpdateWindow(tree);
    const RECT after = ItemRect(tree, items[3], true);
    EXPECT_EQ(after.top, before.top - (before.bottom - before.top));
    EXPECT_TRUE(RectHasColor(tree, after, face));
    EXPECT_FALSE(RectHasColor(tree, ItemRect(tree, items[4], false), face));
    const int inView = int(SendMessageW(tree, TVM_GETVISIBLECOUNT, 0, 0));
    EXPECT_TRUE(RectHasColor(tree, ItemRect(tree, items[size_t(inView)], true), GetSysColor(COLOR_WINDOWTEXT)))
        << "the uncovered row is painted";
}

// With TVS_TRACKSELECT the item under the pointer is hot: its text underlined in the hot-light colour.
TEST_F(TreeViewWindow, TrackSelectMakesTheItemUnderThePointerHotUntilThePointerLeaves) {
    Build(TVS_TRACKSELECT);
    const COLORREF hotColor = GetSysColor(COLOR_HOTLIGHT);
    auto hot = [&](HTREEITEM item) {
        const RECT label = ItemRect(tree, item, true);
        return LongestRun(tree, label, hotColor) >= (label.right - label.left) / 2;
    };
    auto moveTo = [&](POINT pt) {
        DesktopMouseMove(ScreenPoint(tree, pt.x, pt.y));
        RunUntilIdle();
    };
    auto middle = [&](HTREEITEM item) {
        const RECT r = ItemRect(tree, item, true);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    };
    const RECT appleLabel = ItemRect(tree, apple, true);
    const struct {
        const char* where;
        POINT pt;
        HTREEITEM hotItem;
    } moves[] = {
        {"on Apple's label", middle(apple), apple},
        {"on Cherry's label", middle(cherry), cherry},
        {"right of Apple's label", {appleLabel.right + 20, middle(apple).y}, nullptr},
        {"back on Apple", middle(apple), apple},
        {"on the parent beside the tree", {250, 20}, nullptr},
        {"on Cherry again", middle(cherry), cherry},
    };
    for (const auto& m : moves) {
        moveTo(m.pt);
        for (HTREEITEM item : {apple, cherry})
            EXPECT_EQ(hot(item), item == m.hotItem) << m.where << ": " << Text(tree, item).ToUtf8();
        EXPECT_FALSE(hot(fruit)) << m.where;
    }
    DesktopMouseLeave(POINT{2000, 2000});
    RunUntilIdle();
    EXPECT_FALSE(hot(cherry)) << "the pointer left our windows";

    // Without the style nothing is hot.
    const HWND plain = Tree(0, {10, 120, 210, 220}, 6);
    const HTREEITEM only = Insert(plain, TVI_ROOT, u"Only");
    RunUntilIdle();
    const RECT label = ItemRect(plain, only, true);
    DesktopMouseMove(ScreenPoint(plain, (label.left + label.right) / 2, (label.top + label.bottom) / 2));
    RunUntilIdle();
    EXPECT_EQ(LongestRun(plain, label, hotColor), 0);
}

TEST_F(TreeViewWindow, ItemsChangeAndSortByText) {
    Build();
    TVITEMW fields{};
    fields.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
    fields.hItem = cherry;
    fields.pszText = const_cast<char16_t*>(u"Apricot");
    fields.lParam = 99;
    fields.state = TVIS_BOLD;
    fields.stateMask = TVIS_BOLD;
    ASSERT_TRUE(SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&fields)));
    TVITEMW read{};
    read.mask = TVIF_PARAM | TVIF_STATE;
    read.hItem = cherry;
    read.stateMask = TVIS_BOLD | TVIS_SELECTED;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&read));
    EXPECT_EQ(read.lParam, 99);
    EXPECT_EQ(read.state, TVIS_BOLD);
    Insert(tree, fruit, u"apple pie", TVI_FIRST);
    ASSERT_TRUE(SendMessageW(tree, TVM_SORTCHILDREN, FALSE, reinterpret_cast<LPARAM>(fruit)));
    std::vector<String> order;
    for (HTREEITEM i = Next(tree, TVGN_CHILD, fruit); i; i = Next(tree, TVGN_NEXT, i)) order.push_back(Text(tree, i));
    EXPECT_EQ(order, (std::vector<String>{u"Apple", u"apple pie", u"Apricot"}));
}

} // namespace
