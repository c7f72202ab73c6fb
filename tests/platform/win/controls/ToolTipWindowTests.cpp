#include "../WindowFixture.h"

#include "platform/win/controls/CommonControlConstants.h"
#include "platform/win/paint/Composite.h"
#include "platform/win/system/SystemColors.h"

namespace {

// A tool tip with tools owned by a recording window.
class ToolTipTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        owner_ = Create(WS_POPUP | WS_VISIBLE, {100, 100, 400, 300});
        tip_ = CreateWindowExW(WS_EX_TOPMOST, u"tooltips_class32", nullptr, WS_POPUP | TTS_NOPREFIX, 0, 0, 0, 0,
                               owner_, nullptr, nullptr, nullptr);
    }

    TOOLINFOW Tool(UINT_PTR id, LPWSTR text, UINT flags = TTF_TRACK | TTF_ABSOLUTE) const {
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = flags;
        tool.hwnd = owner_;
        tool.uId = id;
        tool.lpszText = text;
        return tool;
    }
    void Add(UINT_PTR id, LPWSTR text) {
        const TOOLINFOW tool = Tool(id, text);
        SendMessageW(tip_, TTM_ADDTOOLW, 0, LPARAM(&tool));
    }
    void Track(UINT_PTR id, bool active, POINT at = {150, 150}) {
        const TOOLINFOW tool = Tool(id, nullptr);
        SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(WORD(at.x), WORD(at.y)));
        SendMessageW(tip_, TTM_TRACKACTIVATE, active, LPARAM(&tool));
    }
    // The tool's text as TTM_GETTEXTW writes it into a buffer of Size code units.
    String Text(UINT_PTR id, size_t size = 80) {
        std::vector<WCHAR> buffer(size + 1, u'#');
        buffer[0] = u'\0';
        TOOLINFOW tool = Tool(id, buffer.data());
        SendMessageW(tip_, TTM_GETTEXTW, size, LPARAM(&tool));
        EXPECT_EQ(buffer[size], u'#') << "written past the size given";
        return buffer.data();
    }
    // Keeps the codes of the notifications the owner gets from now on.
    void NoteNotifications(std::vector<UINT>& codes) {
        Answer(owner_, WM_NOTIFY, [&codes](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            codes.push_back(reinterpret_cast<const NMHDR*>(lParam)->code);
            return std::nullopt;
        });
    }
    static COLORREF ScreenPixel(POINT pt) {
        const TDesktopImage image = ComposeDesktop(RECT{pt.x, pt.y, pt.x + 1, pt.y + 1});
        const uint32_t argb = image.Pixel(pt.x, pt.y);
        return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    }

    HWND owner_ = nullptr;
    HWND tip_ = nullptr;
};

TEST_F(ToolTipTest, IsAnUnactivatedTopmostPopupThatLetsThePointerThrough) {
    const DWORD exStyle = DWORD(GetWindowLongPtrW(tip_, GWL_EXSTYLE));
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_NOACTIVATE);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    Add(1, const_cast<LPWSTR>(u"tip"));
    Track(1, true);
    EXPECT_TRUE(IsWindowVisible(tip_));
    EXPECT_NE(GetActiveWindow(), tip_);
    EXPECT_NE(WindowFromPoint({152, 152}), tip_);
}

TEST_F(ToolTipTest, TextComesFromTheToolOrItsWindow) {
    struct TCase {
        const char* name;
        // How the owner answers TTN_GETDISPINFOW: a pointer or the inline buffer.
        const char16_t* pointer;
        const char16_t* inlineText;
        String expected;
    };
    const TCase cases[] = {
        {"pointer", u"较高", nullptr, u"较高"},
        {"inline buffer", nullptr, u"inline", u"inline"},
        {"no answer", nullptr, nullptr, u""},
    };
    Add(1, LPSTR_TEXTCALLBACKW);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        Answer(owner_, WM_NOTIFY, [&](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            if (info->hdr.code != TTN_GETDISPINFOW) return std::nullopt;
            EXPECT_EQ(info->hdr.hwndFrom, tip_);
            EXPECT_EQ(info->hdr.idFrom, 1u);
            if (c.pointer) info->lpszText = const_cast<LPWSTR>(c.pointer);
            if (c.inlineText)
                std::copy_n(c.inlineText, std::char_traits<char16_t>::length(c.inlineText) + 1, info->szText);
            return 0;
        });
        EXPECT_EQ(Text(1), c.expected);
    }
}

TEST_F(ToolTipTest, TextIsCutToTheBufferAndUpdated) {
    Add(1, const_cast<LPWSTR>(u"abcdef"));
    EXPECT_EQ(Text(1, 4), u"abc");
    const TOOLINFOW update = Tool(1, const_cast<LPWSTR>(u"xy"));
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, LPARAM(&update));
    EXPECT_EQ(Text(1), u"xy");
    EXPECT_EQ(Text(2), u"") << "no such tool";
}

TEST_F(ToolTipTest, TrackingShowsAtThePositionAndNotifies) {
    Add(1, const_cast<LPWSTR>(u"tip"));
    Add(2, const_cast<LPWSTR>(u"another"));
    EXPECT_EQ(SendMessageW(tip_, TTM_GETTOOLCOUNT, 0, 0), 2);
    std::vector<UINT> notifications;
    NoteNotifications(notifications);
    Track(1, true, {150, 160});
    RECT r;
    GetWindowRect(tip_, &r);
    EXPECT_EQ(r.left, 150);
    EXPECT_EQ(r.top, 160);
    EXPECT_GT(r.right - r.left, 0);
    UpdateWindow(tip_);
    EXPECT_EQ(ScreenPixel({r.left + 1, r.bottom - 2}), GetSysColor(COLOR_INFOBK));
    EXPECT_EQ(ScreenPixel({r.left, r.top}), GetSysColor(COLOR_INFOTEXT)) << "framed";

    SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(170, 180));
    GetWindowRect(tip_, &r);
    EXPECT_EQ(r.left, 170);
    EXPECT_EQ(r.top, 180);

    SendMessageW(tip_, TTM_POP, 0, 0);
    EXPECT_FALSE(IsWindowVisible(tip_));
    EXPECT_EQ(notifications, (std::vector<UINT>{TTN_SHOW, TTN_POP}));

    Track(2, true);
    const TOOLINFOW gone = Tool(2, nullptr);
    SendMessageW(tip_, TTM_DELTOOLW, 0, LPARAM(&gone));
    EXPECT_FALSE(IsWindowVisible(tip_)) << "deleting the shown tool hides it";
    EXPECT_EQ(SendMessageW(tip_, TTM_GETTOOLCOUNT, 0, 0), 1);
}

TEST_F(ToolTipTest, MaximumWidthWrapsTheText) {
    Add(1, const_cast<LPWSTR>(u"one two three four five six"));
    Track(1, true);
    RECT single;
    GetWindowRect(tip_, &single);
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 40);
    RECT wrapped;
    GetWindowRect(tip_, &wrapped);
    EXPECT_LT(wrapped.right - wrapped.left, single.right - single.left);
    EXPECT_GT(wrapped.bottom - wrapped.top, single.bottom - single.top);
}

// With TTF_SUBCLASS the tip sees the tool window's mouse messages itself.
TEST_F(ToolTipTest, ASubclassingToolNeedsNoRelaying) {
    DesktopActivate(owner_);
    TOOLINFOW tool = Tool(UINT_PTR(owner_), const_cast<LPWSTR>(u"whole window"), TTF_IDISHWND | TTF_SUBCLASS);
    SendMessageW(tip_, TTM_ADDTOOLW, 0, LPARAM(&tool));
    DesktopMouseMove(POINT{5, 5}); // from outside, wherever an earlier test left the pointer
    RunUntilIdle();
    DesktopMouseMove(ScreenPoint(owner_, 30, 30));
    RunUntilIdle();
    Advance(500);
    RunUntilIdle();
    EXPECT_TRUE(IsWindowVisible(tip_));
    EXPECT_EQ(Text(UINT_PTR(owner_)), u"whole window");
    EXPECT_FALSE(MessagesOf(owner_, {WM_MOUSEMOVE}).empty()) << "the window still gets its messages";

    SendMessageW(tip_, TTM_POP, 0, 0);
    SendMessageW(tip_, TTM_DELTOOLW, 0, LPARAM(&tool));
    DesktopMouseMove(ScreenPoint(owner_, 80, 80));
    RunUntilIdle();
    Advance(500);
    RunUntilIdle();
    EXPECT_FALSE(IsWindowVisible(tip_)) << "a deleted tool no longer listens";

    SendMessageW(tip_, TTM_ADDTOOLW, 0, LPARAM(&tool));
    DestroyWindow(tip_);
    tip_ = nullptr;
    ClearRecord();
    DesktopMouseMove(ScreenPoint(owner_, 40, 40));
    RunUntilIdle();
    EXPECT_FALSE(MessagesOf(owner_, {WM_MOUSEMOVE}).empty()) << "a destroyed tip leaves the window working";
}

// The owner relays its mouse messages, as a window with hover tips does.
TEST_F(ToolTipTest, RelayedPointerShowsTheToolUnderItAfterTheDelay) {
    TOOLINFOW area = Tool(3, const_cast<LPWSTR>(u"area"), 0);
    area.rect = {10, 10, 60, 40};
    SendMessageW(tip_, TTM_ADDTOOLW, 0, LPARAM(&area));
    const auto relay = [&](UINT message, POINT client) {
        const POINT screen = ScreenPoint(owner_, client.x, client.y);
        DesktopMouseMove(screen);
        RunUntilIdle();
        MSG msg{owner_, message, 0, MAKELPARAM(WORD(client.x), WORD(client.y)), 0, screen};
        SendMessageW(tip_, TTM_RELAYEVENT, 0, LPARAM(&msg));
    };
    const auto wait = [&](uint64_t ms) {
        Advance(ms);
        RunUntilIdle();
    };
    struct TCase {
        const char* name;
        DWORD style;
        bool activeOwner;
        bool shows;
    };
    const TCase cases[] = {
        {"active owner", 0, true, true},
        {"inactive owner", 0, false, false},
        {"inactive owner, always tip", TTS_ALWAYSTIP, false, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetWindowLongPtrW(tip_, GWL_STYLE, LONG_PTR(WS_POPUP | TTS_NOPREFIX | c.style));
        if (c.activeOwner)
            DesktopActivate(owner_);
        else
            SetActiveWindow(nullptr);
        RunUntilIdle();
        relay(WM_MOUSEMOVE, {100, 100});
        relay(WM_MOUSEMOVE, {20, 20});
        wait(499);
        EXPECT_FALSE(IsWindowVisible(tip_)) << "not before the delay";
        wait(1);
        EXPECT_EQ(bool(IsWindowVisible(tip_)), c.shows);
        if (!c.shows) continue;
        EXPECT_EQ(Text(3), u"area");
        RECT r;
        GetWindowRect(tip_, &r);
        EXPECT_GT(r.top, ScreenPoint(owner_, 20, 20).y) << "below the pointer";
        relay(WM_MOUSEMOVE, {25, 25});
        EXPECT_TRUE(IsWindowVisible(tip_)) << "moving within the tool keeps it";
        relay(WM_LBUTTONDOWN, {25, 25});
        EXPECT_FALSE(IsWindowVisible(tip_)) << "a click hides it";
        relay(WM_MOUSEMOVE, {100, 100});
        relay(WM_MOUSEMOVE, {20, 20});
        wait(500);
        EXPECT_TRUE(IsWindowVisible(tip_));
        wait(5000);
        EXPECT_FALSE(IsWindowVisible(tip_)) << "hides after a while";
        relay(WM_MOUSEMOVE, {100, 100});
    }
}

} // namespace
