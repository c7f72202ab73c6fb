#include "ListViewFixture.h"

#include "platform/win/controls/Controls.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/imagelist/ImageList.h"
#include "platform/win/input/Input.h"

namespace {

class ListViewWindow : public ListViewTest {
protected:
    static constexpr int kItems = 200;

    // Three columns (120, 80, 60) and 200 items named in Chinese and Latin by
    // turns, each with its number as data and two sub-items.
    HWND View(DWORD style, DWORD exStyle = LVS_EX_FULLROWSELECT) {
        const HWND view = CreateWindowExW(0, u"SysListView32", u"", WS_CHILD | WS_VISIBLE | LVS_REPORT | style, 10, 10,
                                          300, 200, parent, reinterpret_cast<HMENU>(uintptr_t(9)), nullptr, nullptr);
        SendMessageW(view, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LPARAM(exStyle));
        const std::pair<const char16_t*, int> columns[] = {{u"名称", 120}, {u"Size", 80}, {u"类型", 60}};
        for (int i = 0; i < 3; ++i) {
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.pszText = const_cast<LPWSTR>(columns[i].first);
            column.cx = columns[i].second;
            EXPECT_EQ(SendMessageW(view, LVM_INSERTCOLUMNW, WPARAM(i), reinterpret_cast<LPARAM>(&column)), i);
        }
        for (int i = 0; i < kItems; ++i) {
            const String name = (i % 2 ? String(u"Item ") : String(u"项目 ")) + Number(i);
            LVITEMW item{};
            item.mask = LVIF_TEXT | LVIF_PARAM;
            item.iItem = i;
            item.pszText = const_cast<LPWSTR>(name.c_str());
            item.lParam = i;
            EXPECT_EQ(SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)), i);
            const String size = Number(i * 10);
            item.iSubItem = 1;
            item.pszText = const_cast<LPWSTR>(size.c_str());
            SendMessageW(view, LVM_SETITEMTEXTW, WPARAM(i), reinterpret_cast<LPARAM>(&item));
        }
        SetFocus(view);
        RunUntilIdle();
        notes.clear();
        return view;
    }
    static String Number(int n) {
        const std::string s = std::to_string(n);
        return String(s.begin(), s.end());
    }
    static String ItemText(HWND view, int index, int sub = 0) {
        char16_t buffer[64] = {};
        LVITEMW item{};
        item.iSubItem = sub;
        item.pszText = buffer;
        item.cchTextMax = 64;
        SendMessageW(view, LVM_GETITEMTEXTW, WPARAM(index), reinterpret_cast<LPARAM>(&item));
        return buffer;
    }
    static std::vector<int> Selected(HWND view) {
        std::vector<int> found;
        for (int i = int(SendMessageW(view, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)); i >= 0;
             i = int(SendMessageW(view, LVM_GETNEXTITEM, WPARAM(i), LVNI_SELECTED)))
            found.push_back(i);
        return found;
    }
    static int Focused(HWND view) { return int(SendMessageW(view, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED)); }
    static int Top(HWND view) { return int(SendMessageW(view, LVM_GETTOPINDEX, 0, 0)); }
    static RECT ItemRect(HWND view, int index, int code = LVIR_BOUNDS) {
        RECT r{code, 0, 0, 0};
        SendMessageW(view, LVM_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r));
        return r;
    }
    static HWND HeaderOf(HWND view) { return reinterpret_cast<HWND>(SendMessageW(view, LVM_GETHEADER, 0, 0)); }
    static int HeaderHeight(HWND view) {
        RECT r{};
        GetWindowRect(HeaderOf(view), &r);
        return r.bottom - r.top;
    }
    static void Key(UINT vk) {
        DesktopPress(vk);
        RunUntilIdle();
    }
};

TEST_F(ListViewWindow, ItemsAnswerTheirTextsDataAndRowRectangles) {
    const HWND view = View(0);
    EXPECT_EQ(SendMessageW(view, LVM_GETVIEW, 0, 0), LV_VIEW_DETAILS);
    EXPECT_EQ(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0), kItems);
    EXPECT_EQ(ItemText(view, 0), u"项目 0");
    EXPECT_EQ(ItemText(view, 7), u"Item 7");
    EXPECT_EQ(ItemText(view, 7, 1), u"70");
    EXPECT_EQ(ItemText(view, 7, 2), u"") << "a sub-item never set";
    LVITEMW probe{};
    EXPECT_EQ(SendMessageW(view, LVM_GETITEMTEXTW, 7, reinterpret_cast<LPARAM>(&probe)), 6) << "length first";
    char16_t small[4] = {u'x', u'x', u'x', u'x'};
    probe.pszText = small;
    probe.cchTextMax = 3;
    EXPECT_EQ(SendMessageW(view, LVM_GETITEMTEXTW, 7, reinterpret_cast<LPARAM>(&probe)), 2);
    EXPECT_EQ(String(small), u"It");
    EXPECT_EQ(small[3], u'x');

    const int header = HeaderHeight(view);
    EXPECT_GT(header, 10);
    const RECT first = ItemRect(view, 0);
    EXPECT_EQ(first.left, 0);
    EXPECT_EQ(first.top, header) << "the first row lies right under the header";
    EXPECT_EQ(first.right, 260) << "as wide as the columns";
    const int row = first.bottom - first.top;
    EXPECT_GT(row, 10);
    EXPECT_EQ(ItemRect(view, 1).top, first.bottom);
    RECT client{};
    GetClientRect(view, &client);
    EXPECT_EQ(SendMessageW(view, LVM_GETCOUNTPERPAGE, 0, 0), (client.bottom - header) / row);

    // The selected first row shows the highlight across its rectangle, and only there.
    Click(view, 200, first.top + row / 2);
    RunUntilIdle();
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_EQ(ScreenPixel(view, 250, first.top + 2), highlight);
    EXPECT_EQ(ScreenPixel(view, 250, first.bottom - 2), highlight);
    EXPECT_NE(ScreenPixel(view, 250, first.bottom + 2), highlight);
    EXPECT_NE(ScreenPixel(view, 270, first.top + 2), highlight) << "right of the last column";

    LVHITTESTINFO hit{{150, first.bottom + row / 2}, 0, 0, 0};
    EXPECT_EQ(SendMessageW(view, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 1);
    EXPECT_EQ(hit.iSubItem, 1);
    EXPECT_EQ(hit.flags, LVHT_ONITEMLABEL);
}

TEST_F(ListViewWindow, TheSelectionShowsWithoutTheFocusOnlyWhenAskedTo) {
    struct TCase {
        const char* what;
        DWORD style;
        bool focused;
        COLORREF expected;
    } const cases[] = {
        {"focused", 0, true, GetSysColor(COLOR_HIGHLIGHT)},
        {"unfocused", 0, false, GetSysColor(COLOR_WINDOW)},
        {"unfocused, always shown", LVS_SHOWSELALWAYS, false, GetSysColor(COLOR_BTNFACE)},
    };
    for (const TCase& c : cases) {
        const HWND view = View(c.style);
        LVITEMW state{};
        state.state = state.stateMask = LVIS_SELECTED;
        SendMessageW(view, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
        SetFocus(c.focused ? view : parent);
        RunUntilIdle();
        const RECT row = ItemRect(view, 1);
        EXPECT_EQ(ScreenPixel(view, 250, row.top + 2), c.expected) << c.what;
        DestroyWindow(view);
    }
}

TEST_F(ListViewWindow, SmallImagesSitBeforeTheCaptionAndSetTheRowHeight) {
    const HWND view = View(0);
    const HIMAGELIST images = ImageList_Create(20, 20, ILC_COLOR32, 1, 1);
    const HDC screen = GetDC(view);
    const HBITMAP red = CreateCompatibleBitmap(screen, 20, 20);
    const HDC dc = CreateCompatibleDC(screen);
    const HGDIOBJ old = SelectObject(dc, ToGdiObject(red));
    const HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    const RECT all{0, 0, 20, 20};
    FillRect(dc, &all, brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(view, screen);
    ImageList_Add(images, red, nullptr);
    SendMessageW(view, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = 2;
    item.iImage = 0;
    SendMessageW(view, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    UpdateWindow(view);
    RunUntilIdle();
    const RECT row = ItemRect(view, 2);
    EXPECT_GE(row.bottom - row.top, 21);
    const RECT icon = ItemRect(view, 2, LVIR_ICON), label = ItemRect(view, 2, LVIR_LABEL);
    EXPECT_EQ(icon.right - icon.left, 20);
    EXPECT_EQ(label.left, icon.right);
    EXPECT_EQ(ScreenPixel(view, 10, (row.top + row.bottom) / 2), RGB(255, 0, 0));
    EXPECT_NE(ScreenPixel(view, 10, ItemRect(view, 1).top + 2), RGB(255, 0, 0)) << "an item without an image";
    DestroyWindow(view);
    ImageList_Destroy(images);
    DeleteObject(ToGdiObject(red));
    DeleteObject(ToGdiObject(brush));
}

TEST_F(ListViewWindow, AClickOnAHeaderItemReportsItsColumn) {
    const HWND view = View(0);
    Click(HeaderOf(view), 150, 5);
    RunUntilIdle();
    EXPECT_EQ(NotesOf(LVN_COLUMNCLICK), (std::vector<TListViewNote>{{LVN_COLUMNCLICK, -1, 1}}));
    const HWND quiet = View(LVS_NOSORTHEADER);
    Click(HeaderOf(quiet), 150, 5);
    RunUntilIdle();
    EXPECT_TRUE(NotesOf(LVN_COLUMNCLICK).empty()) << "the header of a view without sorting has flat items";
}

TEST_F(ListViewWindow, SortingByTheCallerReordersItemsAndKeepsTheirState) {
    const HWND view = View(0);
    LVITEMW state{};
    state.state = state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(view, LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&state));
    const PFNLVCOMPARE descending = [](LPARAM a, LPARAM b, LPARAM) { return int(b - a); };
    EXPECT_TRUE(SendMessageW(view, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(descending)));
    EXPECT_EQ(ItemText(view, 0), u"Item 199");
    EXPECT_EQ(ItemText(view, 199), u"项目 0");
    EXPECT_EQ(ItemText(view, 196, 1), u"30");
    EXPECT_EQ(Selected(view), (std::vector<int>{196}));
    EXPECT_EQ(Focused(view), 196);
    // By index: the comparison gets the places before the sort, here turned round again.
    EXPECT_TRUE(SendMessageW(view, LVM_SORTITEMSEX, 0, reinterpret_cast<LPARAM>(descending)));
    EXPECT_EQ(ItemText(view, 0), u"项目 0");
    EXPECT_EQ(ItemText(view, 199), u"Item 199");
    EXPECT_EQ(Selected(view), (std::vector<int>{3}));
    EXPECT_EQ(Focused(view), 3);
}

TEST_F(ListViewWindow, KeysMoveTheFocusAndSelectionAndScroll) {
    const HWND view = View(LVS_SINGLESEL);
    const int page = int(SendMessageW(view, LVM_GETCOUNTPERPAGE, 0, 0));
    ASSERT_GT(page, 2);
    struct TStep {
        const char* what;
        UINT vk;
        int focus;
        int top;
    } const steps[] = {
        {"Down from nothing", VK_DOWN, 0, 0},
        {"Down", VK_DOWN, 1, 0},
        {"Page Down to the last row in sight", VK_NEXT, page - 1, 0},
        {"Page Down again a page further", VK_NEXT, 2 * (page - 1), page - 1},
        {"Up", VK_UP, 2 * (page - 1) - 1, page - 1},
        {"End", VK_END, kItems - 1, kItems - page},
        {"Down at the end", VK_DOWN, kItems - 1, kItems - page},
        {"Page Up to the first row in sight", VK_PRIOR, kItems - page, kItems - page},
        {"Home", VK_HOME, 0, 0},
    };
    for (const TStep& step : steps) {
        Key(step.vk);
        EXPECT_EQ(Focused(view), step.focus) << step.what;
        EXPECT_EQ(Selected(view), (std::vector<int>{step.focus})) << step.what;
        EXPECT_EQ(Top(view), step.top) << step.what;
        EXPECT_EQ(ItemRect(view, step.focus).top >= HeaderHeight(view), true) << step.what << ": out of sight";
    }
    const auto keys = NotesOf(LVN_KEYDOWN);
    ASSERT_EQ(keys.size(), std::size(steps));
    EXPECT_EQ(keys.front().item, VK_DOWN);
    EXPECT_EQ(keys.back().item, VK_HOME);
    // Each move takes the selection from one item to the next.
    notes.clear();
    Key(VK_DOWN);
    EXPECT_EQ(NotesOf(LVN_ITEMCHANGED), (std::vector<TListViewNote>{{LVN_ITEMCHANGED, 0, int(LVIS_FOCUSED)},
                                                                   {LVN_ITEMCHANGED, 1, int(LVIS_SELECTED)},
                                                                   {LVN_ITEMCHANGED, 0, 0},
                                                                   {LVN_ITEMCHANGED, 1, int(LVIS_SELECTED | LVIS_FOCUSED)}}));
    Key(VK_RETURN);
    EXPECT_EQ(NotesOf(NM_RETURN).size(), 1u);
}

TEST_F(ListViewWindow, MultipleSelectionFollowsShiftAndControl) {
    const HWND view = View(0);
    const int row = ItemRect(view, 0).bottom - ItemRect(view, 0).top, top = ItemRect(view, 0).top;
    Click(view, 50, top + row / 2);
    Advance(1000);
    DesktopKey(VK_SHIFT, true);
    Click(view, 50, top + 3 * row + row / 2);
    DesktopKey(VK_SHIFT, false);
    RunUntilIdle();
    EXPECT_EQ(Selected(view), (std::vector<int>{0, 1, 2, 3}));
    Advance(1000);
    DesktopKey(VK_CONTROL, true);
    Click(view, 50, top + row + row / 2);
    DesktopKey(VK_CONTROL, false);
    RunUntilIdle();
    EXPECT_EQ(Selected(view), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(Focused(view), 1);
    DesktopPressWith(VK_SHIFT, VK_DOWN);
    RunUntilIdle();
    EXPECT_EQ(Selected(view), (std::vector<int>{1, 2})) << "from the anchor the Ctrl click set";
}

TEST_F(ListViewWindow, ClicksAndDoubleClicksNotifyTheItem) {
    const HWND view = View(0);
    const RECT second = ItemRect(view, 1);
    const int y = (second.top + second.bottom) / 2;
    Click(view, 30, y);
    Click(view, 30, y);
    RunUntilIdle();
    Advance(1000);
    Click(view, 30, y, TDesktopButton::Right);
    RunUntilIdle();
    std::vector<TListViewNote> clicks;
    for (const TListViewNote& n : notes)
        if (n.code == NM_CLICK || n.code == NM_DBLCLK || n.code == NM_RCLICK) clicks.push_back(n);
    EXPECT_EQ(clicks, (std::vector<TListViewNote>{{NM_CLICK, 1, 0}, {NM_DBLCLK, 1, 0}, {NM_RCLICK, 1, 0}}));
    EXPECT_EQ(Selected(view), (std::vector<int>{1}));
}

TEST_F(ListViewWindow, AClickBesideTheFirstColumnHitsNothingWithoutFullRowSelection) {
    const HWND view = View(0, 0);
    const RECT first = ItemRect(view, 0);
    Click(view, 200, (first.top + first.bottom) / 2);
    RunUntilIdle();
    EXPECT_TRUE(Selected(view).empty());
    EXPECT_EQ(NotesOf(NM_CLICK), (std::vector<TListViewNote>{{NM_CLICK, -1, 0}}));
    Click(view, 60, (first.top + first.bottom) / 2);
    RunUntilIdle();
    EXPECT_EQ(Selected(view), (std::vector<int>{0}));
}

TEST_F(ListViewWindow, DraggingAHeaderDividerChangesTheColumnWidth) {
    const HWND view = View(0);
    const int y = HeaderHeight(view) / 2;
    Drag(HeaderOf(view), {199, y}, {239, y});
    EXPECT_EQ(SendMessageW(view, LVM_GETCOLUMNWIDTH, 1, 0), 120);
    EXPECT_EQ(ItemRect(view, 0).right, 300) << "rows follow the columns";
    EXPECT_TRUE(SendMessageW(view, LVM_SETCOLUMNWIDTH, 2, MAKELPARAM(90, 0)));
    EXPECT_EQ(SendMessageW(view, LVM_GETCOLUMNWIDTH, 2, 0), 90);
}

TEST_F(ListViewWindow, ScrollingMovesRowsAndTheHeaderTogether) {
    const HWND view = View(0);
    const int row = ItemRect(view, 0).bottom - ItemRect(view, 0).top;
    EXPECT_TRUE(SendMessageW(view, LVM_SCROLL, 0, 3 * row));
    EXPECT_EQ(Top(view), 3);
    EXPECT_TRUE(SendMessageW(view, LVM_ENSUREVISIBLE, 150, FALSE));
    const int page = int(SendMessageW(view, LVM_GETCOUNTPERPAGE, 0, 0));
    EXPECT_EQ(Top(view), 150 - page + 1);
    EXPECT_TRUE(SendMessageW(view, LVM_ENSUREVISIBLE, 10, FALSE));
    EXPECT_EQ(Top(view), 10);
    EXPECT_EQ(ItemRect(view, 10).top, HeaderHeight(view));
    SendMessageW(view, LVM_SETCOLUMNWIDTH, 2, MAKELPARAM(200, 0));
    EXPECT_TRUE(SendMessageW(view, LVM_SCROLL, 1000, 0)); // as far right as the columns reach
    RECT client{}, header{};
    GetClientRect(view, &client);
    GetWindowRect(HeaderOf(view), &header);
    POINT origin{header.left, header.top};
    ScreenToClient(view, &origin);
    EXPECT_EQ(ItemRect(view, 10).right, client.right) << "the last column ends at the right edge";
    EXPECT_EQ(origin.x, ItemRect(view, 10).left) << "the header moves with the rows";
}

TEST_F(ListViewWindow, DeletingItemsAndColumnsKeepsTheRest) {
    const HWND view = View(0);
    LVITEMW state{};
    state.state = state.stateMask = LVIS_FOCUSED;
    SendMessageW(view, LVM_SETITEMSTATE, 5, reinterpret_cast<LPARAM>(&state));
    EXPECT_TRUE(SendMessageW(view, LVM_DELETEITEM, 2, 0));
    EXPECT_EQ(ItemText(view, 2), u"Item 3");
    EXPECT_EQ(Focused(view), 4) << "the focus moves with its item";
    EXPECT_TRUE(SendMessageW(view, LVM_DELETECOLUMN, 1, 0));
    EXPECT_EQ(SendMessageW(HeaderOf(view), HDM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(ItemText(view, 2, 1), u"") << "the deleted column's sub-items go with it";
    EXPECT_TRUE(SendMessageW(view, LVM_DELETEALLITEMS, 0, 0));
    EXPECT_EQ(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_EQ(Focused(view), -1);
}

} // namespace
