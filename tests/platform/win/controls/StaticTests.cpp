#include "../GdiFixture.h"
#include "../TextFixture.h"
#include "../WindowFixture.h"

#include "platform/win/controls/Controls.h"
#include "platform/win/icons/Icons.h"
#include "platform/win/paint/Surface.h"

namespace {

// A static control on a plain top-level window, painted in the built-in test
// face (glyphs are boxes 8 pixels apart, 16 high, inset by one pixel).
class StaticTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        const LOGFONTW lf = LogFont(kTestFaceName, 16);
        font_ = CreateFontIndirectW(&lf);
        top_ = Create(WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 100});
    }
    void TearDown() override {
        WindowTest::TearDown();
        DeleteObject(ToGdiObject(font_));
    }

    HWND MakeStatic(DWORD style, const char16_t* text, RECT r) {
        const HWND s = CreateWindowExW(0, u"STATIC", text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                       r.right - r.left, r.bottom - r.top, top_, HMENU(7), nullptr, nullptr);
        SendMessageW(s, WM_SETFONT, WPARAM(font_), FALSE);
        return s;
    }
    // The top-level surface's pixel at a point of Control's client area.
    uint32_t PixelIn(HWND control, int x, int y) {
        UpdateWindow(top_);
        POINT pt{x, y};
        MapWindowPoints(control, top_, &pt, 1);
        return WindowSurface(top_)->Pixel(pt.x, pt.y) & 0xFFFFFF;
    }
    // The bounds of the pixels of Control not in its background colour.
    RECT InkIn(HWND control, COLORREF background) {
        RECT client;
        GetClientRect(control, &client);
        RECT box{client.right, client.bottom, 0, 0};
        for (int y = 0; y < client.bottom; ++y)
            for (int x = 0; x < client.right; ++x)
                if (PixelIn(control, x, y) != (PixelOf(background) & 0xFFFFFF)) {
                    box = {std::min(box.left, LONG(x)), std::min(box.top, LONG(y)), std::max(box.right, LONG(x + 1)),
                           std::max(box.bottom, LONG(y + 1))};
                }
        return box;
    }

    HWND top_ = nullptr;
    HFONT font_ = nullptr;
};

TEST_F(StaticTest, TextIsPlacedWrappedAndPrefixedAsTheStyleSays) {
    struct TCase {
        const char* name;
        DWORD style;
        const char16_t* text;
        int width;
        RECT ink;
    };
    const TCase cases[] = {
        {"left", SS_LEFT, u"ab", 100, {1, 1, 15, 15}},
        {"centre", SS_CENTER, u"ab", 100, {43, 1, 57, 15}},
        {"right", SS_RIGHT, u"ab", 100, {85, 1, 99, 15}},
        {"prefix underlines", SS_LEFT, u"&ab", 100, {0, 1, 15, 15}},
        {"no prefix", SS_NOPREFIX, u"&ab", 100, {1, 1, 23, 15}},
        {"wraps at a space", SS_LEFT, u"ab cd", 30, {1, 1, 15, 31}},
        {"simple keeps one line", SS_SIMPLE, u"ab cd", 30, {1, 1, 30, 15}},
        {"no word wrap keeps one line", SS_LEFTNOWORDWRAP, u"ab cd", 30, {1, 1, 30, 15}},
        {"centred vertically", SS_LEFT | SS_CENTERIMAGE, u"ab", 100, {1, 9, 15, 23}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const HWND s = MakeStatic(c.style, c.text, RECT{10, 10, 10 + c.width, 42});
        EXPECT_EQ(InkIn(s, GetSysColor(COLOR_BTNFACE)), c.ink);
        DestroyWindow(s);
    }
}

TEST_F(StaticTest, ColoursComeFromTheParentAndDisabledTextIsGrey) {
    const HWND s = MakeStatic(SS_LEFT, u"ab", RECT{10, 10, 110, 30});
    const HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    LPARAM askedFor = 0;
    Answer(top_, WM_CTLCOLORSTATIC, [&](WPARAM dc, LPARAM control) -> std::optional<LRESULT> {
        askedFor = control;
        SetTextColor(reinterpret_cast<HDC>(dc), RGB(0, 0, 255));
        return reinterpret_cast<LRESULT>(red);
    });
    InvalidateRect(s, nullptr, TRUE);
    EXPECT_EQ(PixelIn(s, 50, 5), 0xFF0000u) << "the parent's brush fills the background";
    EXPECT_EQ(PixelIn(s, 4, 8), 0x0000FFu) << "the parent's text colour";
    EXPECT_EQ(askedFor, reinterpret_cast<LPARAM>(s));

    EnableWindow(s, FALSE);
    EXPECT_EQ(PixelIn(s, 4, 8), PixelOf(GetSysColor(COLOR_GRAYTEXT)) & 0xFFFFFF);

    SetWindowTextW(s, u"");
    EXPECT_EQ(PixelIn(s, 4, 8), 0xFF0000u) << "a new text repaints";
    DestroyWindow(s);
    DeleteObject(ToGdiObject(red));
}

TEST_F(StaticTest, AnIconStaticTakesTheIconsSizeAndDrawsIt) {
    const HWND s = MakeStatic(SS_ICON, u"", RECT{10, 10, 20, 20});
    const HICON error = LoadIconW(nullptr, IDI_HAND);
    const HICON question = LoadIconW(nullptr, IDI_QUESTION);
    EXPECT_EQ(SendMessageW(s, STM_SETICON, WPARAM(error), 0), 0);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(s, STM_GETICON, 0, 0)), error);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(s, STM_GETIMAGE, IMAGE_ICON, 0)), error);
    EXPECT_EQ(SendMessageW(s, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    RECT client;
    GetClientRect(s, &client);
    EXPECT_EQ(client, (RECT{0, 0, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)}));

    // The same icon drawn on the same background, pixel for pixel.
    TCanvas expected(client.right, client.bottom);
    FillRect(expected.dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    DrawIconEx(expected.dc, 0, 0, error, 0, 0, 0, nullptr, DI_NORMAL);
    int differing = 0, inked = 0;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x) {
            const uint32_t want = expected.At(x, y) & 0xFFFFFF;
            differing += PixelIn(s, x, y) != want;
            inked += want != (PixelOf(GetSysColor(COLOR_BTNFACE)) & 0xFFFFFF);
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(inked, 100) << "the icon has a picture at all";

    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(s, STM_SETIMAGE, IMAGE_ICON, LPARAM(question))), error);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(s, STM_GETICON, 0, 0)), question);
    DestroyWindow(s);
}

TEST_F(StaticTest, ABitmapStaticShowsItsBitmapAndAnswersThePreviousOne) {
    const HWND s = MakeStatic(SS_BITMAP, u"", RECT{10, 10, 100, 100});
    TCanvas picture(6, 4);
    const RECT all{0, 0, 6, 4};
    const HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(picture.dc, &all, green);
    HBITMAP bitmap = CreateCompatibleBitmap(picture.dc, 6, 4);
    const HGDIOBJ old = SelectObject(picture.dc, ToGdiObject(bitmap));
    FillRect(picture.dc, &all, green);
    SelectObject(picture.dc, old);

    EXPECT_EQ(SendMessageW(s, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(bitmap)), 0);
    RECT client;
    GetClientRect(s, &client);
    EXPECT_EQ(client, (RECT{0, 0, 6, 4}));
    EXPECT_EQ(PixelIn(s, 0, 0), 0x00FF00u);
    EXPECT_EQ(PixelIn(s, 5, 3), 0x00FF00u);
    EXPECT_EQ(reinterpret_cast<HBITMAP>(SendMessageW(s, STM_SETIMAGE, IMAGE_BITMAP, 0)), bitmap);
    EXPECT_EQ(PixelIn(s, 0, 0), PixelOf(GetSysColor(COLOR_BTNFACE)) & 0xFFFFFF);
    DestroyWindow(s);
    DeleteObject(ToGdiObject(bitmap));
    DeleteObject(ToGdiObject(green));
}

TEST_F(StaticTest, AnEtchedLineAndASunkenEdge) {
    const HWND line = MakeStatic(SS_ETCHEDHORZ, u"", RECT{10, 10, 110, 12});
    EXPECT_EQ(PixelIn(line, 50, 0), PixelOf(GetSysColor(COLOR_BTNSHADOW)) & 0xFFFFFF);
    EXPECT_EQ(PixelIn(line, 50, 1), PixelOf(GetSysColor(COLOR_BTNHIGHLIGHT)) & 0xFFFFFF);

    const HWND sunken = MakeStatic(SS_LEFT | SS_SUNKEN, u"", RECT{10, 20, 110, 40});
    EXPECT_TRUE(GetWindowLongW(sunken, GWL_EXSTYLE) & WS_EX_STATICEDGE);
    RECT client;
    GetClientRect(sunken, &client);
    EXPECT_EQ(client, (RECT{0, 0, 98, 18}));
}

// A static is part of its parent's face: the pointer goes through it unless it asks to be told.
TEST_F(StaticTest, ThePointerPassesThroughUnlessTheStaticNotifies) {
    const HWND plain = MakeStatic(SS_LEFT, u"plain", RECT{10, 10, 60, 30});
    const HWND notifying = MakeStatic(SS_LEFT | SS_NOTIFY, u"notifying", RECT{70, 10, 120, 30});
    EXPECT_EQ(WindowFromPoint(ScreenPoint(plain, 5, 5)), top_);
    EXPECT_EQ(WindowFromPoint(ScreenPoint(notifying, 5, 5)), notifying);
    EXPECT_EQ(SendMessageW(plain, WM_GETDLGCODE, 0, 0), LRESULT(DLGC_STATIC));
}

} // namespace
