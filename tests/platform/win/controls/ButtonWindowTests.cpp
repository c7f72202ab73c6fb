#include "../WindowFixture.h"

#include "platform/win/controls/Controls.h"
#include "platform/win/gdi/Gdi.h"

namespace {

constexpr int kId = 7;

// A top-level window holding "BUTTON" children; the parent's WM_COMMAND and
// WM_DRAWITEM are recorded by the fixture.
class ButtonWindow : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        parent = Create(kPopup, {0, 0, 200, 120});
        SetFocus(parent);
    }

    HWND Button(DWORD style, RECT r = {10, 10, 85, 35}, const char16_t* caption = u"OK", int id = kId) {
        return CreateWindowExW(0, u"BUTTON", caption, kChild | style, r.left, r.top, r.right - r.left,
                               r.bottom - r.top, parent, reinterpret_cast<HMENU>(uintptr_t(id)), nullptr, nullptr);
    }

    // The notification codes the parent got from the button with Id, in order.
    std::vector<WORD> Notifications(int id = kId) const {
        std::vector<WORD> codes;
        for (const TRecord& r : Recorded({WM_COMMAND}))
            if (LOWORD(r.wParam) == id) codes.push_back(HIWORD(r.wParam));
        return codes;
    }

    static void Press(HWND w, int x, int y) { DesktopMouseButton(TDesktopButton::Left, true, ScreenPoint(w, x, y)); }
    static void Release(HWND w, int x, int y) {
        DesktopMouseButton(TDesktopButton::Left, false, ScreenPoint(w, x, y));
    }
    static void MoveTo(HWND w, int x, int y) { DesktopMouseMove(ScreenPoint(w, x, y)); }
    static void Key(UINT vk, bool down, bool repeat = false) {
        DesktopKey(TDesktopKey{vk, down, vk == VK_SPACE && down ? String(u" ") : String(), 0, repeat});
    }
    static bool Pushed(HWND button) { return (SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }
    // The colour at a point of the parent, alpha left out (drawing leaves it 0).
    uint32_t PixelAt(int x, int y) const {
        RunUntilIdle();
        return WindowSurface(parent)->Pixel(x, y) & 0xFFFFFF;
    }
    static uint32_t Rgb(COLORREF color) { return PixelOf(color) & 0xFFFFFF; }
    static uint32_t SysRgb(int index) { return Rgb(GetSysColor(index)); }

    HWND parent = nullptr;
};

TEST_F(ButtonWindow, APressAndReleaseInsideClicksOnceAndLooksPushedOnlyWhileThePointerIsInside) {
    struct TCase {
        const char* name;
        std::vector<POINT> moves; // between press and release, button coordinates
        POINT release;
        std::vector<bool> pushedAfterMoves;
        std::vector<WORD> notifications;
    };
    const std::vector<TCase> cases = {
        {"still", {}, {30, 12}, {}, {BN_CLICKED}},
        {"out and released outside", {{100, 12}}, {100, 12}, {false}, {}},
        {"out and back in", {{-5, 12}, {20, 12}}, {20, 12}, {false, true}, {BN_CLICKED}},
    };
    const HWND button = Button(BS_PUSHBUTTON);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        RunUntilIdle();
        ClearRecord();
        Press(button, 30, 12);
        RunUntilIdle();
        EXPECT_TRUE(Pushed(button));
        EXPECT_EQ(GetCapture(), button);
        EXPECT_EQ(GetFocus(), button);
        for (size_t i = 0; i < c.moves.size(); ++i) {
            MoveTo(button, c.moves[i].x, c.moves[i].y);
            RunUntilIdle();
            EXPECT_EQ(Pushed(button), c.pushedAfterMoves[i]) << "after move " << i;
        }
        Release(button, c.release.x, c.release.y);
        RunUntilIdle();
        EXPECT_FALSE(Pushed(button));
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_EQ(Notifications(), c.notifications);
        Advance(1000);
    }
}

TEST_F(ButtonWindow, SpaceClicksOnceOnReleaseAndNotWhenTheFocusLeavesFirst) {
    const HWND button = Button(BS_PUSHBUTTON);
    const HWND other = Button(BS_PUSHBUTTON, {100, 10, 175, 35}, u"Other", kId + 1);
    SetFocus(button);
    ClearRecord();
    Key(VK_SPACE, true);
    Key(VK_SPACE, true, true); // held: the desktop repeats it
    RunUntilIdle();
    EXPECT_TRUE(Pushed(button));
    EXPECT_TRUE(Notifications().empty());
    Key(VK_SPACE, false);
    RunUntilIdle();
    EXPECT_FALSE(Pushed(button));
    EXPECT_EQ(Notifications(), std::vector<WORD>{BN_CLICKED});

    ClearRecord();
    Key(VK_SPACE, true);
    RunUntilIdle();
    SetFocus(other);
    Key(VK_SPACE, false);
    RunUntilIdle();
    EXPECT_FALSE(Pushed(button));
    EXPECT_TRUE(Notifications().empty());
    EXPECT_TRUE(Notifications(kId + 1).empty());
}

TEST_F(ButtonWindow, DisabledButtonsAreNotClicked) {
    const HWND button = Button(BS_PUSHBUTTON | WS_DISABLED);
    RunUntilIdle();
    ClearRecord();
    Click(button, 20, 12);
    SendMessageW(button, BM_CLICK, 0, 0);
    RunUntilIdle();
    EXPECT_TRUE(Notifications().empty());
    EXPECT_FALSE(Pushed(button));
}

TEST_F(ButtonWindow, DialogCodesFollowTheKindAndBmSetStyle) {
    struct TCase {
        DWORD style;
        UINT code;
    };
    for (const TCase& c : {TCase{BS_PUSHBUTTON, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON},
                           TCase{BS_DEFPUSHBUTTON, DLGC_BUTTON | DLGC_DEFPUSHBUTTON},
                           TCase{BS_CHECKBOX, DLGC_BUTTON}, TCase{BS_AUTO3STATE, DLGC_BUTTON},
                           TCase{BS_RADIOBUTTON, DLGC_BUTTON | DLGC_RADIOBUTTON},
                           TCase{BS_AUTORADIOBUTTON, DLGC_BUTTON | DLGC_RADIOBUTTON}, TCase{BS_GROUPBOX, DLGC_STATIC},
                           TCase{BS_OWNERDRAW, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON}}) {
        SCOPED_TRACE(c.style);
        const HWND button = Button(c.style);
        EXPECT_EQ(SendMessageW(button, WM_GETDLGCODE, 0, 0), LRESULT(c.code));
        DestroyWindow(button);
    }
    const HWND button = Button(BS_PUSHBUTTON | BS_MULTILINE);
    SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(SendMessageW(button, WM_GETDLGCODE, 0, 0), LRESULT(DLGC_BUTTON | DLGC_DEFPUSHBUTTON));
    EXPECT_EQ(GetWindowLongPtrW(button, GWL_STYLE) & (BS_TYPEMASK | BS_MULTILINE), LONG_PTR(BS_DEFPUSHBUTTON | BS_MULTILINE));
    // An owner-drawn button stays owner-drawn; it only takes the default look.
    const HWND drawn = Button(BS_OWNERDRAW, {100, 10, 175, 35});
    SendMessageW(drawn, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(GetWindowLongPtrW(drawn, GWL_STYLE) & BS_TYPEMASK, LONG_PTR(BS_OWNERDRAW));
    EXPECT_EQ(SendMessageW(drawn, WM_GETDLGCODE, 0, 0), LRESULT(DLGC_BUTTON | DLGC_DEFPUSHBUTTON));
}

TEST_F(ButtonWindow, ClicksStepTheChecksOfTheAutomaticKinds) {
    struct TCase {
        DWORD style;
        std::vector<LRESULT> checksAfterClicks;
    };
    for (const TCase& c : {TCase{BS_AUTOCHECKBOX, {1, 0, 1}}, TCase{BS_AUTO3STATE, {1, 2, 0}},
                           TCase{BS_CHECKBOX, {0, 0, 0}}, TCase{BS_3STATE, {0, 0, 0}},
                           TCase{BS_AUTORADIOBUTTON, {1, 1, 1}}, TCase{BS_RADIOBUTTON, {0, 0, 0}}}) {
        SCOPED_TRACE(c.style);
        const HWND button = Button(c.style);
        RunUntilIdle();
        ClearRecord();
        std::vector<LRESULT> checks;
        for (size_t i = 0; i < c.checksAfterClicks.size(); ++i) {
            Click(button, 5, 12);
            RunUntilIdle();
            Advance(1000);
            checks.push_back(SendMessageW(button, BM_GETCHECK, 0, 0));
        }
        EXPECT_EQ(checks, c.checksAfterClicks);
        EXPECT_EQ(Notifications(), std::vector<WORD>(c.checksAfterClicks.size(), BN_CLICKED));
        DestroyWindow(button);
    }
}

TEST_F(ButtonWindow, BmSetCheckKeepsToTheStatesOfTheKind) {
    struct TCase {
        DWORD style;
        WPARAM set;
        LRESULT got;
    };
    for (const TCase& c : {TCase{BS_AUTOCHECKBOX, BST_INDETERMINATE, BST_CHECKED},
                           TCase{BS_3STATE, BST_INDETERMINATE, BST_INDETERMINATE},
                           TCase{BS_PUSHBUTTON, BST_CHECKED, BST_UNCHECKED},
                           TCase{BS_GROUPBOX, BST_CHECKED, BST_UNCHECKED}}) {
        SCOPED_TRACE(c.style);
        const HWND button = Button(c.style);
        SendMessageW(button, BM_SETCHECK, c.set, 0);
        EXPECT_EQ(SendMessageW(button, BM_GETCHECK, 0, 0), c.got);
        EXPECT_EQ(SendMessageW(button, BM_GETSTATE, 0, 0) & 3, c.got);
        DestroyWindow(button);
    }
}

TEST_F(ButtonWindow, AnAutomaticRadioButtonUnchecksTheOthersOfItsGroupOnlyAndHoldsTheTabStop) {
    const HWND a = Button(BS_AUTORADIOBUTTON | WS_GROUP, {10, 10, 90, 30}, u"a", 1);
    const HWND b = Button(BS_AUTORADIOBUTTON, {10, 30, 90, 50}, u"b", 2);
    const HWND c = Button(BS_RADIOBUTTON, {10, 50, 90, 70}, u"c", 3);
    const HWND d = Button(BS_AUTORADIOBUTTON | WS_GROUP, {100, 10, 190, 30}, u"d", 4);
    for (HWND w : {a, c, d}) SendMessageW(w, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_TRUE(GetWindowLongPtrW(a, GWL_STYLE) & WS_TABSTOP);
    RunUntilIdle();
    Click(b, 5, 10);
    RunUntilIdle();
    EXPECT_EQ(SendMessageW(a, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(b, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(c, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(d, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(GetWindowLongPtrW(a, GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(GetWindowLongPtrW(b, GWL_STYLE) & WS_TABSTOP);
}

TEST_F(ButtonWindow, ARadioButtonFocusedFromTheKeyboardIsChosen) {
    const HWND a = Button(BS_RADIOBUTTON | WS_GROUP, {10, 10, 90, 30}, u"a", 1);
    const HWND b = Button(BS_AUTORADIOBUTTON, {10, 30, 90, 50}, u"b", 2);
    RunUntilIdle();
    ClearRecord();
    SetFocus(a);
    SetFocus(b);
    EXPECT_EQ(Notifications(1), std::vector<WORD>{BN_CLICKED});
    EXPECT_EQ(Notifications(2), std::vector<WORD>{BN_CLICKED});
    EXPECT_EQ(SendMessageW(b, BM_GETCHECK, 0, 0), BST_CHECKED);
    // Focusing the checked one again chooses nothing.
    ClearRecord();
    SetFocus(a);
    SetFocus(b);
    EXPECT_EQ(Notifications(2), std::vector<WORD>{});
}

TEST_F(ButtonWindow, OwnerDrawnButtonsAskTheParentWithTheirState) {
    const HWND button = Button(BS_OWNERDRAW);
    struct TCase {
        const char* name;
        std::function<void()> change;
        UINT state;
    };
    const std::vector<TCase> cases = {
        {"plain", [] {}, 0},
        {"focused", [&] { SetFocus(button); }, ODS_FOCUS},
        {"pushed", [&] { SendMessageW(button, BM_SETSTATE, TRUE, 0); }, ODS_FOCUS | ODS_SELECTED},
        {"default", [&] {
             SendMessageW(button, BM_SETSTATE, FALSE, 0);
             SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
         }, ODS_FOCUS | ODS_DEFAULT},
        {"disabled", [&] { EnableWindow(button, FALSE); }, ODS_DEFAULT | ODS_DISABLED},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        c.change();
        std::vector<DRAWITEMSTRUCT> items;
        Answer(parent, WM_DRAWITEM, [&](WPARAM, LPARAM lParam) {
            items.push_back(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return std::optional<LRESULT>(TRUE);
        });
        InvalidateRect(button, nullptr, TRUE);
        RunUntilIdle();
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(items[0].CtlType, ODT_BUTTON);
        EXPECT_EQ(items[0].CtlID, UINT(kId));
        EXPECT_EQ(items[0].hwndItem, button);
        EXPECT_EQ(items[0].itemState, c.state);
        EXPECT_EQ(items[0].rcItem, (RECT{0, 0, 75, 25}));
    }
}

TEST_F(ButtonWindow, PushButtonsDrawTheDefaultFrameAndTheFocusRectangle) {
    const HWND plain = Button(BS_PUSHBUTTON, {10, 10, 85, 35}, u"");
    const HWND def = Button(BS_DEFPUSHBUTTON, {100, 10, 175, 35}, u"", kId + 1);
    const uint32_t frame = SysRgb(COLOR_WINDOWFRAME);
    const uint32_t face = SysRgb(COLOR_BTNFACE);
    EXPECT_NE(PixelAt(10, 10), frame);
    EXPECT_EQ(PixelAt(100, 10), frame);
    EXPECT_EQ(PixelAt(174, 34), frame);
    // The focus rectangle lies 3 pixels inside a plain button (4 in a default one): dotted, by XOR.
    EXPECT_EQ(PixelAt(13, 20), face);
    SetFocus(plain);
    EXPECT_FALSE(PixelAt(13, 20) == face && PixelAt(13, 21) == face);
    SetFocus(def);
    EXPECT_EQ(PixelAt(13, 20), face);
    EXPECT_EQ(PixelAt(13, 21), face);
    EXPECT_FALSE(PixelAt(104, 20) == face && PixelAt(104, 21) == face);
}

TEST_F(ButtonWindow, TheCaptionIsDrawnWithItsMnemonicUnderlined) {
    // The same caption with and without '&' differs only in the underline row.
    const HWND marked = Button(BS_PUSHBUTTON, {10, 10, 85, 35}, u"&N");
    const HWND plain = Button(BS_PUSHBUTTON, {100, 10, 175, 35}, u"N", kId + 1);
    RunUntilIdle();
    const TSurface& surface = *WindowSurface(parent);
    std::vector<int> differingRows;
    bool textDrawn = false;
    const uint32_t text = SysRgb(COLOR_BTNTEXT);
    for (int y = 12; y < 33; ++y) {
        bool differs = false;
        for (int x = 12; x < 83; ++x) {
            differs |= surface.Pixel(x, y) != surface.Pixel(x + 90, y);
            textDrawn |= (surface.Pixel(x + 90, y) & 0xFFFFFF) == text;
        }
        if (differs) differingRows.push_back(y);
    }
    EXPECT_TRUE(textDrawn);
    EXPECT_EQ(differingRows.size(), 1u);
    (void)marked;
    (void)plain;
}

TEST_F(ButtonWindow, BackgroundsComeFromTheParentsColourAnswer) {
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    std::vector<UINT> asked;
    for (UINT message : {WM_CTLCOLORBTN, WM_CTLCOLORSTATIC})
        Answer(parent, message, [&, message](WPARAM, LPARAM) {
            asked.push_back(message);
            return std::optional<LRESULT>(reinterpret_cast<LRESULT>(red));
        });
    Button(BS_AUTOCHECKBOX, {10, 10, 90, 30}, u"", 1);
    Button(BS_GROUPBOX, {100, 10, 190, 100}, u"", 2);
    Button(BS_PUSHBUTTON, {10, 50, 85, 75}, u"", 3);
    EXPECT_EQ(PixelAt(80, 20), Rgb(RGB(255, 0, 0)));   // beside the check box's square
    EXPECT_EQ(PixelAt(150, 50), Rgb(RGB(255, 0, 0)));  // inside the group box's frame
    EXPECT_EQ(PixelAt(40, 60), SysRgb(COLOR_BTNFACE)); // a push button's face stays
    EXPECT_NE(std::find(asked.begin(), asked.end(), WM_CTLCOLORBTN), asked.end());
    EXPECT_NE(std::find(asked.begin(), asked.end(), WM_CTLCOLORSTATIC), asked.end());
    for (UINT message : {WM_CTLCOLORBTN, WM_CTLCOLORSTATIC}) Answer(parent, message, {});
    DeleteObject(ToGdiObject(red));
}

TEST_F(ButtonWindow, AGroupBoxDrawsAnEtchedFrameAndLetsThePointerThrough) {
    const HWND group = Button(BS_GROUPBOX, {10, 10, 190, 110}, u"");
    EXPECT_EQ(PixelAt(10, 60), SysRgb(COLOR_BTNSHADOW));
    EXPECT_EQ(PixelAt(11, 60), SysRgb(COLOR_BTNHIGHLIGHT));
    const POINT inside = ScreenPoint(group, 50, 50);
    EXPECT_EQ(WindowFromPoint(inside), parent);
    ClearRecord();
    Click(group, 50, 50);
    RunUntilIdle();
    EXPECT_TRUE(Notifications().empty());
}

} // namespace
