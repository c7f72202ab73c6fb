#include "ListBoxFixture.h"
#include "platform/win/controls/Controls.h"

#include <cstring>

namespace {

TEST_F(ListBoxTest, ItemsAreAddedInsertedDeletedAndTheirTextsAnsweredAtExactLength) {
    const HWND list = List(0);
    EXPECT_EQ(Add(list, u"视频 a"), 0);
    EXPECT_EQ(Add(list, u"b"), 1);
    EXPECT_EQ(SendMessageW(list, LB_INSERTSTRING, 0, LPARAM(u"first")), 0);
    EXPECT_EQ(SendMessageW(list, LB_INSERTSTRING, WPARAM(-1), LPARAM(u"last")), 3);
    EXPECT_EQ(SendMessageW(list, LB_INSERTSTRING, 9, LPARAM(u"x")), LB_ERR);
    EXPECT_EQ(Texts(list), (std::vector<String>{u"first", u"视频 a", u"b", u"last"}));

    EXPECT_EQ(SendMessageW(list, LB_GETTEXTLEN, 1, 0), 4);
    char16_t buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(SendMessageW(list, LB_GETTEXT, 1, LPARAM(buffer)), 4);
    EXPECT_EQ(String(buffer), u"视频 a");
    EXPECT_EQ(buffer[5], u'#') << "nothing written past the terminator";
    EXPECT_EQ(SendMessageW(list, LB_GETTEXTLEN, 4, 0), LB_ERR);

    EXPECT_EQ(SendMessageW(list, LB_DELETESTRING, 0, 0), 3);
    EXPECT_EQ(SendMessageW(list, LB_DELETESTRING, 3, 0), LB_ERR);
    EXPECT_EQ(Texts(list), (std::vector<String>{u"视频 a", u"b", u"last"}));
    EXPECT_EQ(SendMessageW(list, LB_RESETCONTENT, 0, 0), LB_OKAY);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
}

TEST_F(ListBoxTest, ASortedListPlacesEachStringIgnoringCaseAndAnswersWhere) {
    const HWND list = List(LBS_SORT);
    struct TCase {
        const char16_t* text;
        int index;
    };
    const TCase cases[] = {{u"delta", 0}, {u"Alpha", 0}, {u"charlie", 1}, {u"bravo", 1}, {u"ALPHA", 1}, {u"zulu", 5}};
    for (const TCase& c : cases) EXPECT_EQ(Add(list, c.text), c.index) << String(c.text);
    EXPECT_EQ(Texts(list), (std::vector<String>{u"Alpha", u"ALPHA", u"bravo", u"charlie", u"delta", u"zulu"}));
    // An explicit insertion is not sorted.
    EXPECT_EQ(SendMessageW(list, LB_INSERTSTRING, 0, LPARAM(u"zz")), 0);
}

TEST_F(ListBoxTest, FindingMatchesPrefixesOrWholeTextsIgnoringCaseAfterTheStartAndWrapsRound) {
    const HWND list = List(0);
    for (const char16_t* s : {u"Apple", u"apricot", u"Banana", u"app"}) Add(list, s);
    struct TCase {
        UINT message;
        int start;
        const char16_t* text;
        LRESULT found;
    };
    const TCase cases[] = {
        {LB_FINDSTRING, -1, u"ap", 0},      {LB_FINDSTRING, 0, u"ap", 1},      {LB_FINDSTRING, 1, u"AP", 3},
        {LB_FINDSTRING, 3, u"ap", 0},       {LB_FINDSTRING, -1, u"c", LB_ERR}, {LB_FINDSTRINGEXACT, -1, u"APP", 3},
        {LB_FINDSTRINGEXACT, -1, u"ap", LB_ERR}, {LB_FINDSTRINGEXACT, 3, u"app", 3},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(SendMessageW(list, c.message, WPARAM(c.start), LPARAM(c.text)), c.found)
            << String(c.text) << " from " << c.start;
}

TEST_F(ListBoxTest, ItemDataStaysWithItsItemAndOwnerDrawnItemsWithoutStringsAreTheirData) {
    const HWND list = List(0);
    Add(list, u"b");
    Add(list, u"c");
    SendMessageW(list, LB_SETITEMDATA, 0, 0xB);
    SendMessageW(list, LB_SETITEMDATA, 1, 0xC);
    SendMessageW(list, LB_INSERTSTRING, 0, LPARAM(u"a"));
    EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 0, 0), 0);
    EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 2, 0), 0xC);
    SendMessageW(list, LB_DELETESTRING, 1, 0);
    EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 1, 0), 0xC);
    EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 2, 0), LB_ERR);

    const HWND drawn = List(LBS_OWNERDRAWFIXED | LBS_SORT, {130, 10, 230, 110}, 8);
    EXPECT_EQ(SendMessageW(drawn, LB_ADDSTRING, 0, 0x77), 0);
    EXPECT_EQ(SendMessageW(drawn, LB_ADDSTRING, 0, 0x11), 1) << "kept in the order added";
    EXPECT_EQ(SendMessageW(drawn, LB_GETITEMDATA, 1, 0), 0x11);
    EXPECT_EQ(SendMessageW(drawn, LB_GETTEXTLEN, 0, 0), LRESULT(sizeof(ULONG_PTR)));
    ULONG_PTR data = 0;
    SendMessageW(drawn, LB_GETTEXT, 0, LPARAM(&data));
    EXPECT_EQ(data, 0x77u);
    EXPECT_EQ(SendMessageW(drawn, LB_FINDSTRING, WPARAM(-1), 0x11), 1);
}

TEST_F(ListBoxTest, ASingleSelectionFollowsItsItemAsOthersComeAndGo) {
    const HWND list = List(0);
    for (const char16_t* s : {u"a", u"b", u"c"}) Add(list, s);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(SendMessageW(list, LB_GETSEL, 1, 0), 1);
    EXPECT_EQ(SendMessageW(list, LB_GETCARETINDEX, 0, 0), 1);
    SendMessageW(list, LB_INSERTSTRING, 0, LPARAM(u"z"));
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
    SendMessageW(list, LB_DELETESTRING, 0, 0);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
    SendMessageW(list, LB_DELETESTRING, 1, 0);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR) << "the selected item went";
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 5, 0), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, WPARAM(-1), 0), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
    // Multi-selection messages refuse a single-selection list.
    EXPECT_EQ(SendMessageW(list, LB_SETSEL, TRUE, 0), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_GETSELCOUNT, 0, 0), LB_ERR);
    EXPECT_TRUE(Notifications(list).empty()) << "no notification for what the program does";
}

TEST_F(ListBoxTest, AMultipleSelectionCountsListsAndSelectsRanges) {
    const HWND list = List(LBS_EXTENDEDSEL);
    for (int i = 0; i < 8; ++i) Add(list, u"item");
    SendMessageW(list, LB_SETSEL, TRUE, 6);
    SendMessageW(list, LB_SELITEMRANGE, TRUE, MAKELPARAM(1, 3));
    SendMessageW(list, LB_SETSEL, FALSE, 2);
    EXPECT_EQ(SendMessageW(list, LB_GETSELCOUNT, 0, 0), 3);
    EXPECT_EQ(Selected(list), (std::vector<int>{1, 3, 6}));
    int two[2] = {-1, -1};
    EXPECT_EQ(SendMessageW(list, LB_GETSELITEMS, 2, LPARAM(two)), 2);
    EXPECT_EQ(two[1], 3);
    SendMessageW(list, LB_DELETESTRING, 1, 0);
    EXPECT_EQ(Selected(list), (std::vector<int>{2, 5}));
    SendMessageW(list, LB_SETSEL, TRUE, -1);
    EXPECT_EQ(SendMessageW(list, LB_GETSELCOUNT, 0, 0), 7);
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    EXPECT_EQ(SendMessageW(list, LB_GETSELCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageW(list, LB_SETCARETINDEX, 4, FALSE), LB_OKAY);
    EXPECT_EQ(SendMessageW(list, LB_GETCARETINDEX, 0, 0), 4);
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 1, 0), LB_ERR);
}

TEST_F(ListBoxTest, RowsAreTheFontsHeightAndPointsMapToThem) {
    const HWND list = List(LBS_NOINTEGRALHEIGHT, {10, 10, 110, 60});
    for (int i = 0; i < 10; ++i) Add(list, u"row");
    const int h = int(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    TEXTMETRICW metrics{};
    const HDC dc = GetDC(list);
    GetTextMetricsW(dc, &metrics);
    ReleaseDC(list, dc);
    EXPECT_EQ(h, metrics.tmHeight);
    RECT r{};
    ASSERT_EQ(SendMessageW(list, LB_GETITEMRECT, 2, LPARAM(&r)), LB_OKAY);
    EXPECT_EQ(r, (RECT{0, 2 * h, 100, 3 * h}));
    SendMessageW(list, LB_SETTOPINDEX, 1, 0);
    SendMessageW(list, LB_GETITEMRECT, 0, LPARAM(&r));
    EXPECT_EQ(r.top, -h);
    EXPECT_EQ(SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, h + 1)), MAKELONG(2, 0));
    EXPECT_EQ(SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(500, 1)), MAKELONG(1, 1)) << "outside the window";
    SendMessageW(list, LB_SETTOPINDEX, 0, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    Add(list, u"only");
    EXPECT_EQ(SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 45)), MAKELONG(0, 1)) << "below the last item";
    EXPECT_EQ(SendMessageW(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(300, 0)), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(20, 0)), LB_OKAY);
    EXPECT_EQ(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), 20);
}

TEST_F(ListBoxTest, WithoutNoIntegralHeightTheWindowShrinksToWholeRows) {
    const HWND list = List(LBS_OWNERDRAWFIXED, {10, 10, 110, 100});
    RECT client{};
    GetClientRect(list, &client);
    EXPECT_EQ(client.bottom, 85) << "five rows of 17";
    const HWND free = List(LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT, {130, 10, 230, 100}, 8);
    GetClientRect(free, &client);
    EXPECT_EQ(client.bottom, 90);
}

TEST_F(ListBoxTest, TheTopIndexScrollsClampsToTheLastPageAndDrivesTheScrollBar) {
    const HWND list = List(LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT | WS_VSCROLL, {10, 10, 110, 95});
    for (int i = 0; i < 20; ++i) Add(list, u"row");
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    struct TCase {
        const char* what;
        UINT message;
        WPARAM wParam;
        int top;
    };
    const TCase cases[] = {
        {"set top", LB_SETTOPINDEX, 4, 4},        {"line down", WM_VSCROLL, SB_LINEDOWN, 5},
        {"page down", WM_VSCROLL, SB_PAGEDOWN, 9}, {"past the end", LB_SETTOPINDEX, 19, 15},
        {"line up", WM_VSCROLL, SB_LINEUP, 14},    {"page up", WM_VSCROLL, SB_PAGEUP, 10},
        {"top", WM_VSCROLL, SB_TOP, 0},            {"bottom", WM_VSCROLL, SB_BOTTOM, 15},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        SendMessageW(list, c.message, c.wParam, 0);
        EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), c.top);
        GetScrollInfo(list, SB_VERT, &info);
        EXPECT_EQ(info.nPos, c.top);
        EXPECT_EQ(info.nMax, 19);
        EXPECT_EQ(info.nPage, 5u);
    }
    EXPECT_EQ(SendMessageW(list, LB_SETTOPINDEX, 20, 0), LB_ERR);
    SendMessageW(list, LB_SETCURSEL, 2, 0);
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 2) << "the selection is brought into view";
    SendMessageW(list, LB_SETCURSEL, 12, 0);
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 8);
}

TEST_F(ListBoxTest, OwnerDrawFixedRowsAreMeasuredOnceAndOnlyVisibleRowsDrawnWithTheirState) {
    const HWND list = List(LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | WS_VSCROLL, {10, 10, 110, 95});
    const auto measures = Recorded({WM_MEASUREITEM});
    ASSERT_EQ(measures.size(), 1u);
    EXPECT_EQ(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), 17);
    for (int i = 0; i < 30; ++i) SendMessageW(list, LB_ADDSTRING, 0, LPARAM(u"filter"));
    EXPECT_EQ(Recorded({WM_MEASUREITEM}).size(), 1u) << "fixed rows are measured once";
    SendMessageW(list, LB_SETTOPINDEX, 10, 0);
    SendMessageW(list, LB_SETCURSEL, 12, 0);
    SetFocus(list);
    drawn.clear();
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    std::vector<UINT> ids;
    for (const DRAWITEMSTRUCT& d : drawn) {
        ids.push_back(d.itemID);
        EXPECT_EQ(d.CtlType, UINT(ODT_LISTBOX));
        EXPECT_EQ(d.CtlID, 7u);
        EXPECT_EQ(d.hwndItem, list);
        EXPECT_EQ(d.itemAction, UINT(ODA_DRAWENTIRE));
        EXPECT_EQ(d.rcItem, (RECT{0, int(d.itemID - 10) * 17, 100 - GetSystemMetrics(SM_CXVSCROLL),
                                  int(d.itemID - 9) * 17}));
        EXPECT_EQ(d.itemState, d.itemID == 12 ? UINT(ODS_SELECTED | ODS_FOCUS) : 0u) << d.itemID;
    }
    EXPECT_EQ(ids, (std::vector<UINT>{10, 11, 12, 13, 14})) << "the five rows in sight, nothing else";

    drawn.clear();
    SendMessageW(list, LB_SETCURSEL, 13, 0);
    ASSERT_EQ(drawn.size(), 2u) << "the two rows whose selection changed, at once";
    EXPECT_EQ(drawn[0].itemID, 12u);
    EXPECT_EQ(drawn[0].itemAction, UINT(ODA_SELECT));
    EXPECT_EQ(drawn[1].itemID, 13u);
    drawn.clear();
    SetFocus(nullptr);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].itemAction, UINT(ODA_FOCUS));
    EXPECT_EQ(drawn[0].itemState, UINT(ODS_SELECTED));
}

TEST_F(ListBoxTest, VariableRowsAreMeasuredOneByOneAndScrolledByItem) {
    Answer(parent, WM_MEASUREITEM, [](WPARAM, LPARAM lParam) {
        auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        m->itemHeight = 10 + 10 * UINT(m->itemData % 3);
        return std::optional<LRESULT>(TRUE);
    });
    const HWND list = List(LBS_OWNERDRAWVARIABLE | WS_VSCROLL, {10, 10, 110, 60});
    for (ULONG_PTR data = 0; data < 6; ++data) SendMessageW(list, LB_ADDSTRING, 0, LPARAM(data));
    // Heights 10, 20, 30, 10, 20, 30.
    EXPECT_EQ(SendMessageW(list, LB_GETITEMHEIGHT, 2, 0), 30);
    RECT r{};
    SendMessageW(list, LB_GETITEMRECT, 2, LPARAM(&r));
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.bottom, 60);
    EXPECT_EQ(SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 35)), MAKELONG(2, 0));
    SendMessageW(list, LB_SETTOPINDEX, 5, 0);
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 4) << "the last rows that fit: 20 + 30";
    SendMessageW(list, LB_SETITEMHEIGHT, 4, MAKELPARAM(5, 0));
    EXPECT_EQ(SendMessageW(list, LB_GETITEMHEIGHT, 4, 0), 5);
}

TEST_F(ListBoxTest, StandardRowsPaintTheSelectionInHighlightColoursOnTheParentsBackground) {
    const COLORREF back = RGB(10, 200, 30);
    const HBRUSH brush = CreateSolidBrush(back);
    Answer(parent, WM_CTLCOLORLISTBOX, [&](WPARAM, LPARAM) { return std::optional<LRESULT>(LRESULT(brush)); });
    const HWND list = List(LBS_NOINTEGRALHEIGHT, {10, 10, 110, 110});
    for (const char16_t* s : {u"one", u"two", u"three"}) Add(list, s);
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    RunUntilIdle();
    const int h = int(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(ScreenPixel(list, 90, h / 2), back);
    EXPECT_EQ(ScreenPixel(list, 90, h + h / 2), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(ScreenPixel(list, 90, 95), back) << "below the rows";
    EXPECT_TRUE(RowHasColor(list, h + h / 2, GetSysColor(COLOR_HIGHLIGHTTEXT))) << "the text of the selected row";
    DeleteObject(ToGdiObject(brush));
}

TEST_F(ListBoxTest, NotificationsAndColoursOfAPopupListGoToItsOwner) {
    const HWND popup = CreateWindowExW(0, u"LISTBOX", u"", WS_POPUP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 300, 300,
                                       100, 100, parent, nullptr, nullptr, nullptr);
    ASSERT_TRUE(popup);
    ShowWindow(popup, SW_SHOWNOACTIVATE);
    for (const char16_t* s : {u"one", u"two", u"three"}) Add(popup, s);
    RunUntilIdle();
    EXPECT_FALSE(Recorded({WM_CTLCOLORLISTBOX}).empty());
    const HWND focus = GetFocus();
    const int h = int(SendMessageW(popup, LB_GETITEMHEIGHT, 0, 0));
    DesktopMouseMove(ScreenPoint(popup, 20, h + 2));
    RunUntilIdle();
    EXPECT_EQ(SendMessageW(popup, LB_GETCURSEL, 0, 0), 1) << "the pointer's row is chosen as in a menu";
    EXPECT_TRUE(Notifications(popup).empty());
    SendMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(SendMessageW(popup, LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(Notifications(popup), std::vector<WORD>{LBN_SELCHANGE});
    Click(popup, 20, 2);
    RunUntilIdle();
    EXPECT_EQ(SendMessageW(popup, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(GetFocus(), focus) << "a popup list never takes the focus";
}

} // namespace
