#include "../GdiFixture.h"
#include "../TextFixture.h"
#include "../WindowFixture.h"

#include <string>

#include "platform/win/controls/CommonControlConstants.h"
#include "platform/win/paint/Surface.h"

namespace {

// A status bar along the bottom of a 400×100 top-level window, in the
// built-in test face (glyphs are boxes 8 pixels apart, 16 high, inset by one
// pixel), so the bar is 22 pixels high: 2 above the parts, 16 of text, 4 of
// bevel and spare lines.
class StatusBarTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        const LOGFONTW lf = LogFont(kTestFaceName, 16);
        font_ = CreateFontIndirectW(&lf);
        top_ = Create(WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 100});
        bar_ = MakeBar(0);
    }
    void TearDown() override {
        WindowTest::TearDown();
        DeleteObject(ToGdiObject(font_));
    }

    HWND MakeBar(DWORD style) {
        const HWND bar = CreateWindowExW(0, u"msctls_statusbar32", nullptr, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                                         top_, HMENU(9), nullptr, nullptr);
        SendMessageW(bar, WM_SETFONT, WPARAM(font_), FALSE);
        SendMessageW(bar, WM_SIZE, 0, 0);
        return bar;
    }
    void SetParts(std::initializer_list<int> edges) {
        ASSERT_TRUE(SendMessageW(bar_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.begin())));
    }
    void SetText(UINT part, const char16_t* text, UINT type = 0) {
        SendMessageW(bar_, SB_SETTEXTW, part | type, reinterpret_cast<LPARAM>(text));
    }
    RECT PartRect(int part) {
        RECT r{};
        EXPECT_TRUE(SendMessageW(bar_, SB_GETRECT, WPARAM(part), reinterpret_cast<LPARAM>(&r)));
        return r;
    }
    uint32_t PixelIn(int x, int y) {
        UpdateWindow(top_);
        POINT pt{x, y};
        MapWindowPoints(bar_, top_, &pt, 1);
        return WindowSurface(top_)->Pixel(pt.x, pt.y) & 0xFFFFFF;
    }
    // The bounds of the pixels of the bar in Colour.
    RECT InkOf(COLORREF colour) {
        UpdateWindow(top_);
        RECT client;
        GetClientRect(bar_, &client);
        RECT box{client.right, client.bottom, 0, 0};
        for (int y = 0; y < client.bottom; ++y)
            for (int x = 0; x < client.right; ++x)
                if (PixelIn(x, y) == (PixelOf(colour) & 0xFFFFFF))
                    box = {std::min(box.left, LONG(x)), std::min(box.top, LONG(y)), std::max(box.right, LONG(x + 1)),
                           std::max(box.bottom, LONG(y + 1))};
        return box;
    }
    RECT TextInk() { return InkOf(GetSysColor(COLOR_BTNTEXT)); }

    HWND top_ = nullptr;
    HWND bar_ = nullptr;
    HFONT font_ = nullptr;
};

TEST_F(StatusBarTest, LiesAlongTheParentsBottomAsHighAsItsTextAsks) {
    RECT r;
    GetWindowRect(bar_, &r);
    MapWindowPoints(nullptr, top_, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r, (RECT{0, 78, 400, 100}));

    SendMessageW(bar_, SB_SETMINHEIGHT, 30, 0);
    SetWindowPos(top_, nullptr, 0, 0, 300, 120, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageW(bar_, WM_SIZE, 0, 0);
    GetWindowRect(bar_, &r);
    MapWindowPoints(nullptr, top_, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r, (RECT{0, 88, 300, 120}));
}

TEST_F(StatusBarTest, PartsAnswerTheirEdgesAndRectangles) {
    SetParts({240, 300, -1});
    int edges[4] = {7, 7, 7, 7};
    EXPECT_EQ(SendMessageW(bar_, SB_GETPARTS, 2, reinterpret_cast<LPARAM>(edges)), 3);
    EXPECT_EQ(edges[1], 300);
    EXPECT_EQ(edges[2], 7) << "writes only as many edges as asked";
    EXPECT_EQ(SendMessageW(bar_, SB_GETPARTS, 0, 0), 3);

    EXPECT_EQ(PartRect(0), (RECT{0, 2, 240, 22}));
    EXPECT_EQ(PartRect(1), (RECT{242, 2, 300, 22}));
    EXPECT_EQ(PartRect(2), (RECT{302, 2, 400, 22})) << "-1 reaches the right edge";
    RECT r{};
    EXPECT_FALSE(SendMessageW(bar_, SB_GETRECT, 3, reinterpret_cast<LPARAM>(&r)));

    const int none[] = {1};
    EXPECT_FALSE(SendMessageW(bar_, SB_SETPARTS, 0, reinterpret_cast<LPARAM>(none)));
    EXPECT_FALSE(SendMessageW(bar_, SB_SETPARTS, 257, reinterpret_cast<LPARAM>(none)));
    EXPECT_EQ(SendMessageW(bar_, SB_GETPARTS, 0, 0), 3);
}

TEST_F(StatusBarTest, TextsKeepTheirTypeAndAnswerTheirLengthFirst) {
    SetParts({240, -1});
    SetText(1, u"位置: 0:00", SBT_POPOUT);
    const LRESULT length = SendMessageW(bar_, SB_GETTEXTLENGTHW, 1, 0);
    EXPECT_EQ(LOWORD(length), 8);
    EXPECT_EQ(HIWORD(length), SBT_POPOUT);
    EXPECT_EQ(SendMessageW(bar_, SB_GETTEXTW, 1, 0), length) << "no buffer: the length only";
    std::u16string buffer(LOWORD(length) + 2, u'#');
    EXPECT_EQ(SendMessageW(bar_, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(buffer.data())), length);
    EXPECT_EQ(buffer, std::u16string(u"位置: 0:00\0#", 10)) << "the text and its null, nothing past";

    SetWindowTextW(bar_, u"first");
    EXPECT_EQ(LOWORD(SendMessageW(bar_, SB_GETTEXTLENGTHW, 0, 0)), 5) << "the window text is the first part's";
    EXPECT_FALSE(SendMessageW(bar_, SB_SETTEXTW, 2, reinterpret_cast<LPARAM>(u"x")));
    EXPECT_EQ(SendMessageW(bar_, SB_GETTEXTLENGTHW, 2, 0), 0);
}

TEST_F(StatusBarTest, TextIsDrawnInItsPartAlignedByTabs) {
    struct TCase {
        const char* name;
        const char16_t* text;
        RECT ink;
    };
    // Part 1 spans 242..400; its text area is inset by the bevel and 3 pixels.
    const TCase cases[] = {
        {"left", u"ab", {247, 5, 261, 19}},
        {"centred after one tab", u"\tab", {314, 5, 328, 19}},
        {"right after two tabs", u"\t\tab", {381, 5, 395, 19}},
    };
    SetParts({240, -1});
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetText(1, c.text);
        EXPECT_EQ(TextInk(), c.ink);
    }
    SetText(1, u"");
    SetText(0, u"ab");
    EXPECT_EQ(TextInk(), (RECT{5, 5, 19, 19}));
    EXPECT_EQ(PixelIn(0, 2), PixelOf(GetSysColor(COLOR_BTNSHADOW)) & 0xFFFFFF) << "a sunken bevel";
    EXPECT_EQ(PixelIn(239, 21), PixelOf(GetSysColor(COLOR_BTNHIGHLIGHT)) & 0xFFFFFF);
}

TEST_F(StatusBarTest, BordersFollowTheTextsType) {
    struct TCase {
        const char* name;
        UINT type;
        int topLeft, bottomRight;
    };
    const TCase cases[] = {
        {"sunken", 0, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT},
        {"popped out", SBT_POPOUT, COLOR_3DLIGHT, COLOR_3DDKSHADOW},
        {"no borders", SBT_NOBORDERS, COLOR_BTNFACE, COLOR_BTNFACE},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetText(0, u"", c.type);
        EXPECT_EQ(PixelIn(0, 2), PixelOf(GetSysColor(c.topLeft)) & 0xFFFFFF);
        EXPECT_EQ(PixelIn(399, 21), PixelOf(GetSysColor(c.bottomRight)) & 0xFFFFFF);
    }
}

TEST_F(StatusBarTest, SimpleModeShowsItsOwnTextAcrossTheBar) {
    SetParts({240, -1});
    SetText(0, u"ab");
    SetText(SB_SIMPLEID, u"\t\tsimple");
    SendMessageW(bar_, SB_SIMPLE, TRUE, 0);
    EXPECT_TRUE(SendMessageW(bar_, SB_ISSIMPLE, 0, 0));
    EXPECT_EQ(PartRect(1), (RECT{0, 2, 400, 22}));
    EXPECT_EQ(TextInk(), (RECT{349, 5, 395, 19})) << "only the simple text, at the bar's right";

    SetText(0, u"abc"); // kept for later, not drawn now
    EXPECT_EQ(TextInk(), (RECT{349, 5, 395, 19}));
    SendMessageW(bar_, SB_SIMPLE, FALSE, 0);
    EXPECT_FALSE(SendMessageW(bar_, SB_ISSIMPLE, 0, 0));
    EXPECT_EQ(TextInk(), (RECT{5, 5, 27, 19}));
}

TEST_F(StatusBarTest, OwnerDrawnPartIsDrawnByTheParent) {
    SetParts({240, -1});
    DRAWITEMSTRUCT seen{};
    int calls = 0;
    Answer(top_, WM_DRAWITEM, [&](WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        seen = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        ++calls;
        EXPECT_EQ(wParam, 9u);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(seen.hDC, &seen.rcItem, red);
        DeleteObject(ToGdiObject(red));
        return TRUE;
    });
    SendMessageW(bar_, SB_SETTEXTW, 1 | SBT_OWNERDRAW, 1234);
    EXPECT_EQ(TextInk(), (RECT{400, 22, 0, 0}));
    EXPECT_EQ(InkOf(RGB(255, 0, 0)), (RECT{243, 3, 399, 21})) << "inside the bevel";
    ASSERT_GE(calls, 1);
    EXPECT_EQ(seen.itemID, 1u);
    EXPECT_EQ(seen.CtlID, 9u);
    EXPECT_EQ(seen.hwndItem, bar_);
    EXPECT_EQ(seen.itemData, 1234u);
    EXPECT_EQ(SendMessageW(bar_, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(&seen)), 1234) << "answers its value";
}

TEST_F(StatusBarTest, SizeGripIsDrawnInTheCornerWithTheStyle) {
    DestroyWindow(bar_);
    bar_ = MakeBar(SBARS_SIZEGRIP);
    const int w = GetSystemMetrics(SM_CXVSCROLL);
    // The grip's lines leave highlights and shadows; without the style the corner is bevel and face only.
    bool shadowInGrip = false;
    for (int x = 400 - w; x < 398; ++x) shadowInGrip |= PixelIn(x, 19) == (PixelOf(GetSysColor(COLOR_BTNSHADOW)) & 0xFFFFFF);
    EXPECT_TRUE(shadowInGrip);
    DestroyWindow(bar_);
    bar_ = MakeBar(0);
    bool shadowWithout = false;
    for (int x = 400 - w; x < 398; ++x) shadowWithout |= PixelIn(x, 19) == (PixelOf(GetSysColor(COLOR_BTNSHADOW)) & 0xFFFFFF);
    EXPECT_FALSE(shadowWithout);
}

TEST_F(StatusBarTest, DraggingTheGripSizesASizableTopLevelWindow) {
    const HWND sizable = Create(WS_POPUP | WS_THICKFRAME | WS_VISIBLE, RECT{50, 50, 450, 250});
    const HWND bar = CreateWindowExW(0, u"msctls_statusbar32", nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0,
                                     0, 0, sizable, HMENU(9), nullptr, nullptr);
    SendMessageW(bar, WM_SETFONT, WPARAM(font_), FALSE);
    SendMessageW(bar, WM_SIZE, 0, 0);
    RECT client;
    GetClientRect(bar, &client);
    const POINT grip = ScreenPoint(bar, client.right - 3, client.bottom - 3);
    const auto windowRect = [](HWND hwnd) {
        RECT r;
        GetWindowRect(hwnd, &r);
        return r;
    };
    const RECT before = windowRect(sizable);
    DesktopMouseButton(TDesktopButton::Left, true, grip);
    DesktopMouseMove(POINT{grip.x + 30, grip.y + 20});
    DesktopMouseButton(TDesktopButton::Left, false, POINT{grip.x + 30, grip.y + 20});
    RunUntilIdle();
    EXPECT_EQ(windowRect(sizable), (RECT{before.left, before.top, before.right + 30, before.bottom + 20}));
    EXPECT_FALSE(MessagesOf(sizable, {WM_SIZING}).empty());
    EXPECT_EQ(MessagesOf(sizable, {WM_SYSCOMMAND, WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}).size(), 3u);

    // A press beside the grip, or on a window that cannot be sized, sizes nothing.
    ClearRecord();
    const POINT inside = ScreenPoint(bar_, 100, 10);
    DesktopMouseButton(TDesktopButton::Left, true, inside);
    DesktopMouseButton(TDesktopButton::Left, false, inside);
    RunUntilIdle();
    EXPECT_TRUE(MessagesOf(top_, {WM_SIZING, WM_ENTERSIZEMOVE}).empty());
}

} // namespace
