#include "../GdiFixture.h"
#include "../WindowFixture.h"

#include <string>

#include "platform/rtl/ResourceStrings.h"
#include "platform/win/controls/ControlTexts.h"
#include "platform/win/controls/Controls.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/icons/Icons.h"
#include "platform/win/paint/Surface.h"
#include "platform/win/text/Text.h"

namespace {

String TextOf(HWND hwnd) {
    String text(size_t(GetWindowTextLengthW(hwnd)) + 1, u'\0');
    text.resize(size_t(GetWindowTextW(hwnd, text.data(), int(text.size()))));
    return text;
}

String ClassOf(HWND hwnd) {
    char16_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

// The box's children of a class, in z-order.
std::vector<HWND> ChildrenOf(HWND box, const String& cls) {
    std::vector<HWND> all;
    EnumChildWindows(box,
                     [](HWND h, LPARAM list) { return reinterpret_cast<std::vector<HWND>*>(list)->push_back(h), TRUE; },
                     LPARAM(&all));
    std::erase_if(all, [&](HWND h) { return ClassOf(h) != cls; });
    return all;
}

HWND ButtonWithId(HWND box, int id) {
    for (HWND b : ChildrenOf(box, u"BUTTON"))
        if (GetDlgCtrlID(b) == id) return b;
    return nullptr;
}

// An owner window on a 1600 x 900 screen whose work area ends above a
// 40-pixel panel, beside a second monitor; the box is driven by steps that run
// on the owner's WM_ENTERIDLE, one each time the box waits for input.
class MessageBoxTest : public WindowTest {
protected:
    using TStep = std::function<void(HWND box)>;
    static constexpr RECT kWork{0, 0, 1600, 860};
    static constexpr RECT kSecondWork{1600, 100, 2880, 1024};

    void SetUp() override {
        WindowTest::SetUp();
        TDesktopMetrics desktop;
        desktop.Monitors = {{RECT{0, 0, 1600, 900}, kWork, true, u"first"},
                            {RECT{1600, 0, 2880, 1024}, kSecondWork, false, u"second"}};
        SetDesktopMetrics(desktop);
        owner_ = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{100, 100, 700, 500});
        SetActiveWindow(owner_);
        TakeMessageBeeps();
    }

    // Shows the box over Owner and runs Steps while it waits; a box still up
    // after the last step is a failure, and is closed.
    int Show(const char16_t* text, const char16_t* caption, UINT type, std::vector<TStep> steps,
             HWND owner = nullptr) {
        owner = owner ? owner : owner_;
        size_t next = 0;
        Answer(owner, WM_ENTERIDLE, [&](WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
            EXPECT_EQ(wParam, MSGF_DIALOGBOX);
            const HWND box = reinterpret_cast<HWND>(lParam);
            if (next < steps.size()) {
                steps[next++](box);
            } else {
                ADD_FAILURE() << "the box is still up after the last step";
                DestroyWindow(box);
            }
            return 0;
        });
        const int answer = MessageBoxW(owner, text, caption, type);
        Answer(owner, WM_ENTERIDLE, nullptr);
        stepsRun_ = next;
        return answer;
    }

    HWND owner_ = nullptr;
    size_t stepsRun_ = 0;

private:
    TDesktopMetricsScope desktopScope_;
};

TEST_F(MessageBoxTest, AnErrorBoxShowsTheIconTheTextAndOneOkButton) {
    HWND box = nullptr;
    const int answer = Show(u"不支持的文件格式", u"Error", MB_ICONERROR, {[&](HWND shown) {
        box = shown;
        EXPECT_EQ(TextOf(box), String(u"Error")) << "the caption as given";
        EXPECT_EQ(reinterpret_cast<HWND>(GetWindowLongPtrW(box, GWLP_HWNDPARENT)), owner_);
        EXPECT_EQ(GetActiveWindow(), box);

        std::vector<HWND> statics = ChildrenOf(box, u"STATIC");
        ASSERT_EQ(statics.size(), 2u);
        if ((GetWindowLongW(statics[0], GWL_STYLE) & SS_TYPEMASK) != SS_ICON) std::swap(statics[0], statics[1]);
        const HWND icon = statics[0], text = statics[1];
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(icon, STM_GETICON, 0, 0)), LoadIconW(nullptr, IDI_ERROR));
        EXPECT_EQ(TextOf(text), String(u"不支持的文件格式"));
        RECT iconRect, textRect;
        GetWindowRect(icon, &iconRect);
        GetWindowRect(text, &textRect);
        EXPECT_LE(iconRect.right, textRect.left) << "the icon stands left of the text";
        // The icon is on the screen: its pixels in the box's surface are the icon's.
        TCanvas expected(iconRect.right - iconRect.left, iconRect.bottom - iconRect.top);
        const RECT all{0, 0, expected.width, expected.height};
        FillRect(expected.dc, &all, GetSysColorBrush(COLOR_BTNFACE));
        DrawIconEx(expected.dc, 0, 0, LoadIconW(nullptr, IDI_ERROR), 0, 0, 0, nullptr, DI_NORMAL);
        UpdateWindow(box);
        RECT frame;
        GetWindowRect(box, &frame);
        int differing = 0;
        for (int y = 0; y < expected.height; ++y)
            for (int x = 0; x < expected.width; ++x)
                differing += (WindowSurface(box)->Pixel(iconRect.left - frame.left + x, iconRect.top - frame.top + y) &
                              0xFFFFFF) != (expected.At(x, y) & 0xFFFFFF);
        EXPECT_EQ(differing, 0);

        const std::vector<HWND> buttons = ChildrenOf(box, u"BUTTON");
        ASSERT_EQ(buttons.size(), 1u);
        EXPECT_EQ(TextOf(buttons[0]), String(u"确定"));
        EXPECT_EQ(GetDlgCtrlID(buttons[0]), IDOK);
        EXPECT_EQ(GetWindowLongW(buttons[0], GWL_STYLE) & BS_TYPEMASK, LONG(BS_DEFPUSHBUTTON));
        EXPECT_EQ(GetFocus(), buttons[0]);
        RECT buttonRect;
        GetWindowRect(buttons[0], &buttonRect);
        EXPECT_GE(buttonRect.top, textRect.bottom) << "the button row lies below the text";
        DesktopPress(VK_RETURN);
    }});
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(stepsRun_, 1u);
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(TakeMessageBeeps(), std::vector<UINT>{MB_ICONERROR});
    EXPECT_EQ(GetActiveWindow(), owner_);
}

TEST_F(MessageBoxTest, KeysMnemonicsAndTheCloseBoxChooseTheAnswer) {
    const auto click = [](int id) {
        return [id](HWND box) {
            RECT r;
            const HWND button = ButtonWithId(box, id);
            GetClientRect(button, &r);
            Click(button, r.right / 2, r.bottom / 2);
        };
    };
    const auto key = [](UINT vk, const char16_t* text = u"") { return [=](HWND) { DesktopPress(vk, text); }; };
    const auto with = [](UINT modifier, UINT vk, const char16_t* text = u"") {
        return [=](HWND) { DesktopPressWith(modifier, vk, text); };
    };
    const TStep close = [](HWND box) { DesktopCloseRequest(box); };
    const TStep enter = key(VK_RETURN), escape = key(VK_ESCAPE);
    struct TCase {
        const char* name;
        UINT type;
        std::vector<TStep> steps;
        int answer;
    };
    const TCase cases[] = {
        {"Enter answers Yes", MB_YESNO | MB_ICONQUESTION, {enter}, IDYES},
        {"N answers No", MB_YESNO | MB_ICONQUESTION, {key('N', u"n")}, IDNO},
        {"Alt+N answers No", MB_YESNO, {with(VK_MENU, 'N', u"n")}, IDNO},
        {"Escape does nothing without Cancel", MB_YESNO | MB_ICONQUESTION, {escape, enter}, IDYES},
        {"the close box does nothing without Cancel", MB_YESNO, {close, enter}, IDYES},
        {"Escape answers Cancel", MB_YESNOCANCEL, {escape}, IDCANCEL},
        {"the close box answers Cancel", MB_OKCANCEL, {close}, IDCANCEL},
        {"Escape answers a lone OK", MB_OK, {escape}, IDOK},
        {"the close box answers a lone OK", MB_OK | MB_ICONINFORMATION, {close}, IDOK},
        {"the second default button", MB_YESNO | MB_DEFBUTTON2, {enter}, IDNO},
        {"the third default button", MB_YESNOCANCEL | MB_DEFBUTTON3, {enter}, IDCANCEL},
        {"a fourth default button there is not", MB_ABORTRETRYIGNORE | MB_DEFBUTTON4, {enter}, IDABORT},
        {"Tab moves to the next button", MB_ABORTRETRYIGNORE, {key(VK_TAB), enter}, IDRETRY},
        {"Shift+Tab wraps to the last", MB_ABORTRETRYIGNORE, {with(VK_SHIFT, VK_TAB), enter}, IDIGNORE},
        {"arrows move", MB_ABORTRETRYIGNORE, {key(VK_RIGHT), key(VK_RIGHT), key(VK_LEFT), enter}, IDRETRY},
        {"Space clicks the focused button", MB_RETRYCANCEL, {key(VK_TAB), key(VK_SPACE, u" ")}, IDCANCEL},
        {"R answers Retry", MB_RETRYCANCEL, {key('R', u"r")}, IDRETRY},
        {"I answers Ignore", MB_ABORTRETRYIGNORE, {key('I', u"i")}, IDIGNORE},
        {"a letter of no button does nothing", MB_YESNO, {key('Q', u"q"), key('Y', u"y")}, IDYES},
        {"a click on a button", MB_OKCANCEL, {click(IDCANCEL)}, IDCANCEL},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Show(u"继续吗？", u"Warning", c.type, c.steps), c.answer);
        EXPECT_EQ(stepsRun_, c.steps.size());
    }
}

TEST_F(MessageBoxTest, EachSetHasTheSystemsCaptionsInOrderAndTheDefaultFollowsTheFocus) {
    struct TCase {
        UINT type;
        std::vector<const TResStringRec*> captions;
        std::vector<int> ids;
    };
    const TCase cases[] = {
        {MB_OK, {&SMsgDlgOK}, {IDOK}},
        {MB_OKCANCEL, {&SMsgDlgOK, &SMsgDlgCancel}, {IDOK, IDCANCEL}},
        {MB_ABORTRETRYIGNORE, {&SMsgDlgAbort, &SMsgDlgRetry, &SMsgDlgIgnore}, {IDABORT, IDRETRY, IDIGNORE}},
        {MB_YESNOCANCEL, {&SMsgDlgYes, &SMsgDlgNo, &SMsgDlgCancel}, {IDYES, IDNO, IDCANCEL}},
        {MB_YESNO, {&SMsgDlgYes, &SMsgDlgNo}, {IDYES, IDNO}},
        {MB_RETRYCANCEL, {&SMsgDlgRetry, &SMsgDlgCancel}, {IDRETRY, IDCANCEL}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.type);
        Show(u"text", u"caption", c.type, {[&](HWND box) {
                 std::vector<HWND> buttons = ChildrenOf(box, u"BUTTON");
                 std::sort(buttons.begin(), buttons.end(), [](HWND a, HWND b) {
                     RECT ra, rb;
                     GetWindowRect(a, &ra);
                     GetWindowRect(b, &rb);
                     return ra.left < rb.left;
                 });
                 ASSERT_EQ(buttons.size(), c.captions.size());
                 for (size_t i = 0; i < buttons.size(); ++i) {
                     EXPECT_EQ(TextOf(buttons[i]), LoadResString(*c.captions[i]));
                     EXPECT_EQ(GetDlgCtrlID(buttons[i]), c.ids[i]);
                 }
                 // Tab: the focus and the default frame move together.
                 DesktopPress(VK_TAB);
             },
                                           [&](HWND box) {
                 const HWND focus = GetFocus();
                 for (HWND b : ChildrenOf(box, u"BUTTON"))
                     EXPECT_EQ(GetWindowLongW(b, GWL_STYLE) & BS_TYPEMASK,
                               LONG(b == focus ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON));
                 EXPECT_EQ(GetDlgCtrlID(focus), c.ids[1 % c.ids.size()]);
                 DesktopPress(VK_RETURN);
             }});
        EXPECT_EQ(stepsRun_, 2u);
    }
    EXPECT_EQ(MessageBoxW(owner_, u"text", u"caption", MB_TYPEMASK), 0) << "no such button set";
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

// Every visible window of the thread waits for the box; exactly those that
// were enabled come back, and the focus returns where it was.
TEST_F(MessageBoxTest, TheOwnerAndTheThreadsOtherWindowsAreDisabledWhileItIsUp) {
    const HWND edit = Create(WS_CHILD | WS_VISIBLE, RECT{10, 10, 100, 30}, owner_);
    SetFocus(edit);
    const HWND other = Create(WS_POPUP | WS_VISIBLE, RECT{800, 100, 900, 200});
    const HWND disabledBefore = Create(WS_POPUP | WS_VISIBLE | WS_DISABLED, RECT{800, 300, 900, 400});
    const HWND hidden = Create(WS_POPUP, RECT{800, 500, 900, 600});
    SetActiveWindow(owner_);
    SetFocus(edit);
    const int answer = Show(u"text", u"caption", MB_OKCANCEL, {[&](HWND box) {
        EXPECT_FALSE(IsWindowEnabled(owner_));
        EXPECT_FALSE(IsWindowEnabled(other));
        EXPECT_FALSE(IsWindowEnabled(disabledBefore));
        EXPECT_TRUE(IsWindowEnabled(hidden));
        EXPECT_TRUE(IsWindowEnabled(box));
        EnableWindow(hidden, FALSE); // changed while the box is up: left as it is
        DesktopPress(VK_ESCAPE);
    }});
    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_TRUE(IsWindowEnabled(owner_));
    EXPECT_TRUE(IsWindowEnabled(other));
    EXPECT_FALSE(IsWindowEnabled(disabledBefore));
    EXPECT_FALSE(IsWindowEnabled(hidden));
    EXPECT_EQ(GetActiveWindow(), owner_);
    EXPECT_EQ(GetFocus(), edit);
}

TEST_F(MessageBoxTest, TheBoxIsCentredOnItsOwnerOrOnTheOwnersWorkAreaAndStaysInside) {
    struct TCase {
        const char* name;
        RECT owner;
        int show;
        RECT area; // what the box is centred on
    };
    const TCase cases[] = {
        {"a visible owner", {100, 100, 700, 500}, SW_SHOWNORMAL, {100, 100, 700, 500}},
        {"an owner on the second monitor", {2000, 300, 2400, 700}, SW_SHOWNORMAL, {2000, 300, 2400, 700}},
        {"a hidden owner", {2000, 300, 2400, 700}, SW_HIDE, kSecondWork},
        {"a minimized owner", {100, 100, 700, 500}, SW_MINIMIZE, kWork},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        MoveWindow(owner_, c.owner.left, c.owner.top, c.owner.right - c.owner.left, c.owner.bottom - c.owner.top,
                   TRUE);
        ShowWindow(owner_, c.show);
        RECT box{};
        Show(u"text", u"caption", MB_OK, {[&](HWND shown) {
                 GetWindowRect(shown, &box);
                 DesktopPress(VK_RETURN);
             }});
        EXPECT_NEAR((box.left + box.right) / 2, (c.area.left + c.area.right) / 2, 1);
        EXPECT_NEAR((box.top + box.bottom) / 2, (c.area.top + c.area.bottom) / 2, 1);
        ShowWindow(owner_, SW_RESTORE);
    }

    // An owner at the very edge: the box is pushed into the work area.
    MoveWindow(owner_, 1500, 800, 100, 60, TRUE);
    RECT box{};
    Show(u"text", u"caption", MB_OK, {[&](HWND shown) {
        GetWindowRect(shown, &box);
        DesktopPress(VK_RETURN);
    }});
    EXPECT_EQ(box.right, kWork.right);
    EXPECT_EQ(box.bottom, kWork.bottom);
}

TEST_F(MessageBoxTest, ALongTextIsWrappedToASensibleWidthAndShownWhole) {
    String text;
    for (int i = 0; i < 40; ++i) text += u"文件格式不支持 ";
    Show(text.c_str(), nullptr, MB_YESNO, {[&](HWND box) {
        EXPECT_EQ(TextOf(box), LoadResString(SMsgDlgError)) << "the caption of a box given none";
        const std::vector<HWND> statics = ChildrenOf(box, u"STATIC");
        ASSERT_EQ(statics.size(), 1u) << "no icon asked for";
        const HWND label = statics[0];
        EXPECT_EQ(TextOf(label), text);
        RECT r, frame;
        GetClientRect(label, &r);
        GetWindowRect(box, &frame);
        const HDC dc = GetDC(label);
        const HGDIOBJ old = SelectObject(dc, ToGdiObject(HFONT(SendMessageW(label, WM_GETFONT, 0, 0))));
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        RECT needed = r;
        DrawTextW(dc, text.c_str(), int(text.size()), &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(dc, old);
        ReleaseDC(label, dc);
        EXPECT_GT(r.bottom, 3 * tm.tmHeight) << "several lines";
        EXPECT_LE(needed.bottom, r.bottom) << "every line fits";
        EXPECT_LE(frame.right - frame.left, (kWork.right - kWork.left) * 5 / 8 + 200);
        EXPECT_GE(frame.left, kWork.left);
        EXPECT_LE(frame.right, kWork.right);
        DesktopPress(VK_RETURN);
    }});
    EXPECT_EQ(stepsRun_, 1u);
}

TEST_F(MessageBoxTest, TheTopmostFlagMakesATopmostBox) {
    Show(u"text", u"caption", MB_OK | MB_TOPMOST | MB_SETFOREGROUND, {[&](HWND box) {
        EXPECT_TRUE(GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_EQ(GetForegroundWindow(), box);
        DesktopPress(VK_RETURN);
    }});
}

} // namespace
