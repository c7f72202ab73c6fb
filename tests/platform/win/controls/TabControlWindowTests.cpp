#include "../GdiFixture.h"
#include "../TextFixture.h"
#include "../WindowFixture.h"

#include "platform/win/controls/CommonControlConstants.h"
#include "platform/win/paint/Surface.h"

namespace {

// A tab control filling a top-level window, in the built-in test face
// (glyphs 8 pixels apart, 16 high); the parent records the notifications
// and may refuse a change.
class TabControlTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        const LOGFONTW lf = LogFont(kTestFaceName, 16);
        font_ = CreateFontIndirectW(&lf);
        top_ = Create(WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 200});
        tabs_ = CreateWindowExW(0, u"SysTabControl32", u"", WS_CHILD | WS_VISIBLE | TCS_TABS, 0, 0, 300, 200, top_,
                                HMENU(5), nullptr, nullptr);
        SendMessageW(tabs_, WM_SETFONT, WPARAM(font_), FALSE);
        Answer(top_, WM_NOTIFY, [this](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            EXPECT_EQ(header->hwndFrom, tabs_);
            EXPECT_EQ(header->idFrom, 5u);
            notified_.push_back(header->code);
            if (header->code == TCN_SELCHANGING) return refuse_ ? TRUE : FALSE;
            return 0;
        });
    }
    void TearDown() override {
        WindowTest::TearDown();
        DeleteObject(ToGdiObject(font_));
    }

    int Insert(int index, const char16_t* text, LPARAM param = 0) {
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = const_cast<LPWSTR>(text);
        item.lParam = param;
        return int(SendMessageW(tabs_, TCM_INSERTITEMW, WPARAM(index), reinterpret_cast<LPARAM>(&item)));
    }
    String Text(int index, int size = 64) {
        std::vector<WCHAR> buffer(size_t(size), u'#');
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = buffer.data();
        item.cchTextMax = size;
        if (!SendMessageW(tabs_, TCM_GETITEMW, WPARAM(index), reinterpret_cast<LPARAM>(&item))) return u"<none>";
        return String(buffer.data());
    }
    int CurSel() { return int(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)); }
    RECT ItemRect(int index) {
        RECT r{};
        EXPECT_TRUE(SendMessageW(tabs_, TCM_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&r)));
        return r;
    }
    uint32_t Pixel(int x, int y) {
        UpdateWindow(top_);
        return WindowSurface(top_)->Pixel(x, y) & 0xFFFFFF;
    }

    HWND top_ = nullptr;
    HWND tabs_ = nullptr;
    HFONT font_ = nullptr;
    std::vector<UINT> notified_;
    bool refuse_ = false;
};

TEST_F(TabControlTest, ItemsKeepTheirDataAndTheSelectionFollowsInsertsAndDeletes) {
    EXPECT_EQ(CurSel(), -1);
    EXPECT_EQ(Insert(0, u"常规"), 0);
    EXPECT_EQ(CurSel(), 0) << "the first tab is selected";
    EXPECT_EQ(Insert(99, u"Logs", 42), 1) << "an index past the end appends";
    EXPECT_EQ(Insert(0, u"Info"), 0);
    EXPECT_EQ(CurSel(), 1) << "the selection stays on its tab";
    EXPECT_EQ(SendMessageW(tabs_, TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(Text(0), u"Info");
    EXPECT_EQ(Text(1), u"常规");
    EXPECT_EQ(Text(2, 3), u"Lo") << "a short buffer gets what fits with its terminator";
    EXPECT_EQ(Text(3), u"<none>");

    TCITEMW item{};
    item.mask = TCIF_IMAGE | TCIF_STATE;
    item.iImage = 7;
    item.dwState = item.dwStateMask = TCIS_HIGHLIGHTED;
    ASSERT_TRUE(SendMessageW(tabs_, TCM_SETITEMW, 2, reinterpret_cast<LPARAM>(&item)));
    TCITEMW read{};
    read.mask = TCIF_PARAM | TCIF_IMAGE | TCIF_STATE;
    read.dwStateMask = ~0u;
    ASSERT_TRUE(SendMessageW(tabs_, TCM_GETITEMW, 2, reinterpret_cast<LPARAM>(&read)));
    EXPECT_EQ(read.lParam, 42) << "fields outside the mask keep their values";
    EXPECT_EQ(read.iImage, 7);
    EXPECT_EQ(read.dwState, TCIS_HIGHLIGHTED);

    EXPECT_TRUE(SendMessageW(tabs_, TCM_DELETEITEM, 0, 0));
    EXPECT_EQ(CurSel(), 0) << "deleting a tab before the selection moves it back";
    EXPECT_TRUE(SendMessageW(tabs_, TCM_DELETEITEM, 0, 0));
    EXPECT_EQ(CurSel(), -1) << "deleting the selected tab leaves none selected";
    EXPECT_FALSE(SendMessageW(tabs_, TCM_DELETEITEM, 5, 0));
    EXPECT_EQ(SendMessageW(tabs_, TCM_SETCURSEL, 0, 0), -1);
    EXPECT_EQ(SendMessageW(tabs_, TCM_SETCURSEL, 3, 0), -1) << "an index out of range changes nothing";
    EXPECT_EQ(CurSel(), 0);
    EXPECT_EQ(SendMessageW(tabs_, TCM_SETCURSEL, WPARAM(-1), 0), 0);
    EXPECT_EQ(CurSel(), -1) << "-1 clears the selection";
    EXPECT_TRUE(SendMessageW(tabs_, TCM_DELETEALLITEMS, 0, 0));
    EXPECT_EQ(SendMessageW(tabs_, TCM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_EQ(CurSel(), -1);
    EXPECT_TRUE(notified_.empty()) << "messages from the program notify nothing";
}

TEST_F(TabControlTest, TabsSitSideBySideSizedToTheirTextAndHitTestingFindsThem) {
    Insert(0, u"ab");
    Insert(1, u"abcd");
    const RECT first = ItemRect(0), second = ItemRect(1);
    EXPECT_EQ(second.left, first.right);
    EXPECT_EQ(second.top, first.top);
    EXPECT_EQ((second.right - second.left) - (first.right - first.left), 16) << "two glyphs wider";
    EXPECT_GE(first.bottom - first.top, 16);
    EXPECT_EQ(SendMessageW(tabs_, TCM_GETROWCOUNT, 0, 0), 1);

    struct TCase {
        POINT pt;
        int tab;
        UINT flags;
    };
    for (const TCase& c : {TCase{{first.left + 1, first.top + 3}, 0, TCHT_ONITEMLABEL},
                           TCase{{second.right - 1, second.bottom - 1}, 1, TCHT_ONITEMLABEL},
                           TCase{{second.right + 5, second.top + 3}, -1, TCHT_NOWHERE},
                           TCase{{first.left + 3, first.bottom + 10}, -1, TCHT_NOWHERE}}) {
        TCHITTESTINFO info{c.pt, 0};
        EXPECT_EQ(SendMessageW(tabs_, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)), c.tab)
            << c.pt.x << "," << c.pt.y;
        EXPECT_EQ(info.flags, c.flags);
    }
    RECT none{};
    EXPECT_FALSE(SendMessageW(tabs_, TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&none)));
}

TEST_F(TabControlTest, AdjustRectAnswersTheDisplayAreaBelowTheTabsAndBack) {
    Insert(0, u"ab");
    const RECT tab = ItemRect(0);
    RECT display{0, 0, 300, 200};
    SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    EXPECT_GT(display.top, tab.bottom + 1) << "below the row and the frame's edge";
    EXPECT_GT(display.left, 1);
    EXPECT_LT(display.right, 299);
    EXPECT_LT(display.bottom, 199);
    RECT window = display;
    SendMessageW(tabs_, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&window));
    EXPECT_EQ(window, (RECT{0, 0, 300, 200}));

    // The display area is plain face; the frame around it is drawn.
    const uint32_t face = PixelOf(GetSysColor(COLOR_BTNFACE)) & 0xFFFFFF;
    EXPECT_EQ(Pixel(display.left, display.top), face);
    EXPECT_EQ(Pixel(display.right - 1, display.bottom - 1), face);
    EXPECT_NE(Pixel(150, 199), face) << "the frame's bottom edge";
    EXPECT_NE(Pixel(1, 150), face) << "the frame's left edge";
}

TEST_F(TabControlTest, TheSelectedTabJoinsTheFrameAndTheOthersStandOnIt) {
    Insert(0, u"ab");
    Insert(1, u"cd");
    const uint32_t face = PixelOf(GetSysColor(COLOR_BTNFACE)) & 0xFFFFFF;
    const RECT first = ItemRect(0), second = ItemRect(1);
    const int middle = (first.left + first.right) / 2, middle2 = (second.left + second.right) / 2;
    // Raised edges: the outer light line is the face colour, the inner one is not.
    EXPECT_EQ(Pixel(middle, first.bottom + 1), face) << "no frame edge under the selected tab";
    EXPECT_NE(Pixel(middle2, second.bottom + 1), face) << "the frame edge under another tab";
    EXPECT_NE(Pixel(middle, first.top - 1), face) << "the selected tab stands taller";
    EXPECT_EQ(Pixel(middle2, second.top - 1), face);
    SendMessageW(tabs_, TCM_SETCURSEL, 1, 0);
    EXPECT_NE(Pixel(middle, first.bottom + 1), face);
    EXPECT_EQ(Pixel(middle2, second.bottom + 1), face);
}

TEST_F(TabControlTest, ClicksAndArrowKeysAskTheParentBeforeChangingTheTab) {
    Insert(0, u"ab");
    Insert(1, u"cd");
    Insert(2, u"ef");
    const RECT second = ItemRect(1);
    Click(tabs_, second.left + 3, second.top + 4);
    RunUntilIdle();
    EXPECT_EQ(CurSel(), 1);
    EXPECT_EQ(notified_, (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE}));
    EXPECT_EQ(GetFocus(), tabs_);

    notified_.clear();
    SendMessageW(tabs_, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(CurSel(), 2);
    SendMessageW(tabs_, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(CurSel(), 2) << "no step past the last tab";
    SendMessageW(tabs_, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(CurSel(), 0);
    EXPECT_EQ(notified_, (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE, TCN_SELCHANGING, TCN_SELCHANGE}));

    notified_.clear();
    refuse_ = true;
    Click(tabs_, second.left + 3, second.top + 4);
    RunUntilIdle();
    SendMessageW(tabs_, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(CurSel(), 0) << "a refusal keeps the tab";
    EXPECT_EQ(notified_, (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGING}));
}

TEST_F(TabControlTest, TabsThatDoNotFitScrollWithAnUpDownAtTheRowsEnd) {
    for (int i = 0; i < 8; ++i) Insert(i, u"abcdef"); // 60 pixels each: 480 in a 300-pixel row
    ItemRect(0);
    const HWND scroller = GetWindow(tabs_, GW_CHILD);
    ASSERT_TRUE(scroller) << "made on overflow";
    WCHAR name[32] = {};
    GetClassNameW(scroller, name, 32);
    EXPECT_EQ(String(name), u"msctls_updown32");
    EXPECT_TRUE(IsWindowVisible(scroller));
    EXPECT_TRUE(GetWindowLongPtrW(scroller, GWL_STYLE) & UDS_HORZ);
    RECT place;
    GetWindowRect(scroller, &place);
    MapWindowPoints(nullptr, tabs_, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.right, 300) << "at the row's right end";
    EXPECT_LE(place.bottom, ItemRect(0).bottom);
    int low = -1, high = -1;
    SendMessageW(scroller, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 4) << "from the fifth tab on, the rest fits left of the scroller";

    const int width = ItemRect(0).right - ItemRect(0).left;
    RECT arrows;
    GetClientRect(scroller, &arrows);
    Click(scroller, arrows.right - 3, arrows.bottom / 2); // the right arrow
    RunUntilIdle();
    EXPECT_EQ(ItemRect(1).left, ItemRect(0).left + width);
    EXPECT_EQ(ItemRect(1).left, 2) << "the second tab is now first";
    TCHITTESTINFO info{{place.left + 1, ItemRect(0).top + 3}, 0};
    EXPECT_EQ(SendMessageW(tabs_, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)), -1) << "the scroller is no tab";

    SendMessageW(tabs_, TCM_SETCURSEL, 7, 0);
    EXPECT_LE(ItemRect(7).right, place.left) << "selecting a tab scrolls it into view";
    int error = 0;
    EXPECT_EQ(SendMessageW(scroller, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)), 4);
    SendMessageW(tabs_, TCM_SETCURSEL, 0, 0);
    EXPECT_EQ(ItemRect(0).left, 2);

    SendMessageW(tabs_, TCM_DELETEALLITEMS, 0, 0);
    Insert(0, u"ab");
    ItemRect(0);
    EXPECT_FALSE(IsWindowVisible(scroller)) << "hidden once everything fits";
}

} // namespace
