// What edits show and how they follow the mouse, the input method, the
// context menu and the scroll bars.
#include "../GdiFixture.h"
#include "EditFixture.h"
#include "platform/win/controls/Controls.h"

namespace {

uint32_t Rgb(COLORREF color) { return PixelOf(color) & 0xFFFFFF; }

// Glyphs of the test face are boxes inset by one pixel: the middle of a
// character cell is ink, its left column background.
constexpr int kInkY = 8;

} // namespace

TEST_F(EditTest, ColoursComeFromTheParent) {
    const HBRUSH editBrush = CreateSolidBrush(RGB(200, 0, 0));
    const HBRUSH staticBrush = CreateSolidBrush(RGB(0, 200, 0));
    Answer(parent_, WM_CTLCOLOREDIT, [&](WPARAM, LPARAM) { return LRESULT(editBrush); });
    Answer(parent_, WM_CTLCOLORSTATIC, [&](WPARAM, LPARAM) { return LRESULT(staticBrush); });
    struct TCase {
        const char* name;
        DWORD style;
        bool enabled;
        UINT message;
        COLORREF background;
    };
    for (const TCase& c : {TCase{"editable", 0, true, WM_CTLCOLOREDIT, RGB(200, 0, 0)},
                           TCase{"read-only", ES_READONLY, true, WM_CTLCOLORSTATIC, RGB(0, 200, 0)},
                           TCase{"disabled", 0, false, WM_CTLCOLORSTATIC, RGB(0, 200, 0)}}) {
        SCOPED_TRACE(c.name);
        const HWND edit = MakeEdit(c.style, {200, 24}, u"ab");
        EnableWindow(edit, c.enabled);
        InvalidateRect(edit, nullptr, TRUE);
        ClearRecord();
        RunUntilIdle();
        const auto asked = Recorded({WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC});
        ASSERT_FALSE(asked.empty());
        EXPECT_EQ(asked.back().message, c.message);
        EXPECT_EQ(asked.back().lParam, reinterpret_cast<LPARAM>(edit));
        EXPECT_EQ(PixelAt(edit, 150, 10), Rgb(c.background));
        EXPECT_EQ(PixelAt(edit, 4, kInkY), c.enabled ? Sys(COLOR_WINDOWTEXT) : Sys(COLOR_GRAYTEXT));
        DestroyWindow(edit);
    }
    Answer(parent_, WM_CTLCOLOREDIT, nullptr);
    Answer(parent_, WM_CTLCOLORSTATIC, nullptr);
    DeleteObject(ToGdiObject(editBrush));
    DeleteObject(ToGdiObject(staticBrush));
}

TEST_F(EditTest, TheSelectionShowsInHighlightColoursWhileFocusedOrNotHidden) {
    struct TCase {
        const char* name;
        DWORD style;
        bool focused;
        bool highlighted;
    };
    for (const TCase& c : {TCase{"focused", 0, true, true}, TCase{"unfocused", 0, false, false},
                           TCase{"unfocused, not hidden", ES_NOHIDESEL, false, true}}) {
        SCOPED_TRACE(c.name);
        const HWND edit = MakeEdit(c.style, {200, 24}, u"abcd");
        SendMessageW(edit, EM_SETSEL, 1, 3);
        if (!c.focused) SetFocus(parent_);
        RunUntilIdle();
        EXPECT_EQ(PixelAt(edit, kAdvance, LineTop(edit)), c.highlighted ? Sys(COLOR_HIGHLIGHT) : Sys(COLOR_WINDOW));
        EXPECT_EQ(PixelAt(edit, kAdvance + 4, kInkY), c.highlighted ? Sys(COLOR_HIGHLIGHTTEXT) : Sys(COLOR_WINDOWTEXT));
        EXPECT_EQ(PixelAt(edit, 3 * kAdvance + 4, kInkY), Sys(COLOR_WINDOWTEXT)) << "after the selection";
        DestroyWindow(edit);
    }
}

TEST_F(EditTest, ThePreeditIsDrawnUnderlinedAtTheCaretAndTheCommitIsOneChange) {
    const HWND edit = MakeEdit(0, {200, 24}, u"ab");
    SendMessageW(edit, EM_SETSEL, 0, 1);
    ClearRecord();
    DesktopImePreedit(u"shi", 3);
    RunUntilIdle();
    EXPECT_EQ(Text(edit), String(u"ab"));
    EXPECT_TRUE(Notifications(edit).empty());
    const int underline = LineTop(edit) + kLine - 1;
    // "shi" at the caret (after "a"), underlined; "b" moved past it.
    for (int i = 0; i < 3; ++i) EXPECT_EQ(PixelAt(edit, (1 + i) * kAdvance + 4, kInkY), Sys(COLOR_WINDOWTEXT)) << i;
    for (int x = kAdvance; x < 4 * kAdvance; ++x) ASSERT_EQ(PixelAt(edit, x, underline), Sys(COLOR_WINDOWTEXT)) << x;
    EXPECT_EQ(PixelAt(edit, 4 * kAdvance + 4, kInkY), Sys(COLOR_WINDOWTEXT)) << "b";
    EXPECT_EQ(PixelAt(edit, 4 * kAdvance + 4, underline), Sys(COLOR_WINDOW)) << "b is not underlined";
    POINT caret{};
    GetCaretPos(&caret);
    EXPECT_EQ(caret.x, 4 * kAdvance);
    // The input method's window follows the caret.
    const RECT at = ImeCursorRect();
    EXPECT_EQ(at.left, ScreenPoint(edit, 4 * kAdvance, 0).x);
    EXPECT_EQ(at.top, ScreenPoint(edit, 0, LineTop(edit)).y);
    EXPECT_EQ(at.bottom - at.top, kLine) << "the caret is as high as the font";

    DesktopImeCommit(u"视频");
    RunUntilIdle();
    EXPECT_EQ(Text(edit), String(u"视频b"));
    EXPECT_EQ(Selection(edit), std::pair(2, 2));
    EXPECT_EQ(Notifications(edit, EN_CHANGE).size(), 1u);
    EXPECT_EQ(PixelAt(edit, 2 * 16 + 4, underline), Sys(COLOR_WINDOW)) << "the preedit's underline is gone";
    SendMessageW(edit, WM_UNDO, 0, 0);
    EXPECT_EQ(Text(edit), String(u"ab")) << "one undo step";
}

TEST_F(EditTest, PasswordAndReadOnlyEditsTurnInputMethodsOff) {
    struct TCase {
        const char* name;
        DWORD style;
        bool accepts;
    };
    for (const TCase& c : {TCase{"plain", 0, true}, TCase{"password", ES_PASSWORD, false},
                           TCase{"read-only", ES_READONLY, false}, TCase{"memo", ES_MULTILINE, true}}) {
        SCOPED_TRACE(c.name);
        const HWND edit = MakeEdit(c.style);
        EXPECT_EQ(ImeAcceptsText(), c.accepts);
        EXPECT_EQ(ImmGetContext(edit) != nullptr, c.accepts);
        DesktopImeCommit(u"视频");
        RunUntilIdle();
        EXPECT_EQ(Text(edit), String(c.accepts ? u"视频" : u""));
        DestroyWindow(edit);
    }
    // Switching read-only or the password character switches them again.
    const HWND edit = MakeEdit(ES_READONLY);
    SendMessageW(edit, EM_SETREADONLY, FALSE, 0);
    EXPECT_TRUE(ImeAcceptsText());
    EXPECT_FALSE(GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY);
    SendMessageW(edit, EM_SETPASSWORDCHAR, u'#', 0);
    EXPECT_FALSE(ImeAcceptsText());
    SendMessageW(edit, EM_SETPASSWORDCHAR, 0, 0);
    EXPECT_TRUE(ImeAcceptsText());
}

// A child button inside the edit at its right: the formatting rectangle
// keeps text and caret left of it and it is never painted over.
TEST_F(EditTest, TheFormattingRectangleLeavesRoomForAChildWindow) {
    const HWND edit = MakeEdit(WS_CLIPCHILDREN, {200, 24});
    const HWND button = Create(WS_CHILD | WS_VISIBLE, {179, 0, 200, 24}, edit);
    const HBRUSH blue = CreateSolidBrush(RGB(0, 0, 250));
    Answer(button, WM_PAINT, [&](WPARAM, LPARAM) {
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(button, &ps);
        const RECT all{0, 0, 21, 24};
        FillRect(dc, &all, blue);
        EndPaint(button, &ps);
        return LRESULT(0);
    });
    const RECT format{0, 0, 179, 24};
    SendMessageW(edit, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&format));
    RECT got{};
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&got));
    EXPECT_EQ(got.right, 179);
    RunUntilIdle();
    Type(std::u16string(40, u'a'));
    POINT caret{};
    GetCaretPos(&caret);
    EXPECT_LT(caret.x, 179);
    EXPECT_GT(caret.x, 100);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    RunUntilIdle();
    for (int x = 179; x < 200; x += 4)
        for (int y = 0; y < 24; y += 5) ASSERT_EQ(PixelAt(edit, x, y), Rgb(RGB(0, 0, 250))) << x << "," << y;
    GetCaretPos(&caret);
    EXPECT_EQ(PixelAt(edit, caret.x - kAdvance, 1), Sys(COLOR_HIGHLIGHT)) << "the selected text ends at the caret";
    // A point maps to its character.
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"abcdef"));
    EXPECT_EQ(LOWORD(SendMessageW(edit, EM_CHARFROMPOS, 0, MAKELPARAM(3 * kAdvance + 2, 5))), 3);
    EXPECT_EQ(LOWORD(SendMessageW(edit, EM_CHARFROMPOS, 0, MAKELPARAM(3 * kAdvance + 6, 5))), 4);
    EXPECT_EQ(LOWORD(SendMessageW(edit, EM_CHARFROMPOS, 0, MAKELPARAM(150, 5))), 6);
    // A click on the child reaches the child.
    ClearRecord();
    DesktopMouseMove(ScreenPoint(button, 5, 5));
    Click(button, 5, 5);
    RunUntilIdle();
    EXPECT_EQ(MessagesOf(button, {WM_LBUTTONDOWN}).size(), 1u);
    EXPECT_EQ(Selection(edit), std::pair(0, 0));
    DeleteObject(ToGdiObject(blue));
}

TEST_F(EditTest, TheMouseSelects) {
    const HWND edit = MakeEdit(0, {200, 24}, u"hello world");
    auto press = [&](int x, bool down) {
        const POINT pt = ScreenPoint(edit, x, 5);
        DesktopMouseMove(pt);
        DesktopMouseButton(TDesktopButton::Left, down, pt);
        RunUntilIdle();
    };
    press(2 * kAdvance + 1, true);
    EXPECT_EQ(Selection(edit), std::pair(2, 2));
    EXPECT_EQ(GetCapture(), edit);
    DesktopMouseMove(ScreenPoint(edit, 5 * kAdvance, 5));
    RunUntilIdle();
    press(5 * kAdvance, false);
    EXPECT_EQ(Selection(edit), std::pair(2, 5));
    EXPECT_EQ(GetCapture(), nullptr);
    // Shift+click moves the caret end.
    DesktopKey(VK_SHIFT, true);
    press(kAdvance, true);
    press(kAdvance, false);
    DesktopKey(VK_SHIFT, false);
    RunUntilIdle();
    EXPECT_EQ(Selection(edit), std::pair(1, 2));
    // A double click selects the run of one class under it.
    Advance(1000);
    press(8 * kAdvance, true);
    press(8 * kAdvance, false);
    press(8 * kAdvance, true);
    press(8 * kAdvance, false);
    EXPECT_EQ(Selection(edit), std::pair(6, 11));
}

TEST_F(EditTest, DraggingPastTheEdgeScrolls) {
    std::u16string lines;
    for (int i = 0; i < 30; ++i) lines += u"line\r\n";
    struct TCase {
        const char* name;
        DWORD style;
        SIZE size;
        std::u16string text;
        POINT outside;
    };
    for (const TCase& c : {TCase{"sideways", 0, {80, 24}, u"abcdefghijklmnopqrstuvwxyz0123456789", {120, 5}},
                           TCase{"down a memo", ES_MULTILINE, {80, 4 * kLine}, lines, {20, 6 * kLine}}}) {
        SCOPED_TRACE(c.name);
        const HWND edit = MakeEdit(c.style, c.size, c.text.c_str());
        const POINT start = ScreenPoint(edit, 2, 5);
        DesktopMouseMove(start);
        DesktopMouseButton(TDesktopButton::Left, true, start);
        RunUntilIdle();
        DesktopMouseMove(ScreenPoint(edit, c.outside.x, c.outside.y));
        RunUntilIdle();
        const LRESULT first = SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
        EXPECT_GT(first, 0);
        Advance(1000);
        RunUntilIdle();
        EXPECT_GT(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), first) << "the timer goes on scrolling";
        DesktopMouseButton(TDesktopButton::Left, false, ScreenPoint(edit, c.outside.x, c.outside.y));
        RunUntilIdle();
        EXPECT_EQ(Selection(edit).first, 0);
        EXPECT_GT(Selection(edit).second, 10);
        DestroyWindow(edit);
    }
}

TEST_F(EditTest, TheContextMenuOffersWhatApplies) {
    struct TCase {
        const char* name;
        DWORD style;
        std::pair<int, int> selection;
        char16_t key; // the item's mnemonic, then Escape in case it is disabled
        const char16_t* text;
        const char16_t* clipboard;
        std::pair<int, int> after;
    };
    for (const TCase& c : {
             TCase{"select all", 0, {1, 1}, u'a', u"abc", u"zz", {0, 3}},
             TCase{"cut needs a selection", 0, {1, 1}, u't', u"abc", u"zz", {1, 1}},
             TCase{"cut", 0, {0, 1}, u't', u"bc", u"a", {0, 0}},
             TCase{"copy", 0, {0, 2}, u'c', u"abc", u"ab", {0, 2}},
             TCase{"paste", 0, {3, 3}, u'p', u"abczz", u"zz", {5, 5}},
             TCase{"delete", 0, {0, 1}, u'd', u"bc", u"zz", {0, 0}},
             TCase{"read-only: no paste", ES_READONLY, {3, 3}, u'p', u"abc", u"zz", {3, 3}},
             TCase{"read-only: no delete", ES_READONLY, {0, 1}, u'd', u"abc", u"zz", {0, 1}},
             TCase{"read-only: copy", ES_READONLY, {0, 1}, u'c', u"abc", u"a", {0, 1}},
             TCase{"password: no copy", ES_PASSWORD, {0, 1}, u'c', u"abc", u"zz", {0, 1}},
             TCase{"nothing to undo", 0, {1, 1}, u'u', u"abc", u"zz", {1, 1}},
         }) {
        SCOPED_TRACE(c.name);
        const HWND edit = MakeEdit(c.style, {200, 24}, u"abc");
        clipboard_.text = String(u"zz");
        SendMessageW(edit, EM_SETSEL, WPARAM(c.selection.first), c.selection.second);
        DesktopKey(c.key - u'a' + 'A', true, String(1, c.key));
        DesktopKey(c.key - u'a' + 'A', false);
        DesktopKey(VK_ESCAPE, true);
        DesktopKey(VK_ESCAPE, false);
        const POINT at = ScreenPoint(edit, 5, 5);
        SendMessageW(edit, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit), MAKELPARAM(at.x, at.y));
        RunUntilIdle();
        EXPECT_EQ(Text(edit), String(c.text));
        EXPECT_EQ(clipboard_.text, std::optional<String>(String(c.clipboard)));
        EXPECT_EQ(Selection(edit), c.after);
        DestroyWindow(edit);
    }
    // Undo is offered after a change.
    const HWND edit = MakeEdit(0, {200, 24}, u"abc");
    SendMessageW(edit, EM_SETSEL, 3, 3);
    Type(u"d");
    DesktopKey('U', true, u"u");
    DesktopKey('U', false);
    SendMessageW(edit, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit), -1);
    RunUntilIdle();
    EXPECT_EQ(Text(edit), String(u"abc"));
}

TEST_F(EditTest, AMemoKeepsItsScrollBarInStep) {
    std::u16string text;
    for (int i = 0; i < 20; ++i) text += (i ? u"\r\nline" : u"line") + std::u16string(1, char16_t(u'a' + i));
    const HWND memo = MakeEdit(ES_MULTILINE | WS_VSCROLL, {200, 5 * kLine}, text.c_str());
    auto bar = [&] {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(memo, SB_VERT, &info);
        return std::tuple(info.nMax, int(info.nPage), info.nPos);
    };
    EXPECT_EQ(bar(), std::tuple(19, 5, 0));
    Type(u"{Ctrl+End}");
    EXPECT_EQ(bar(), std::tuple(19, 5, 15));
    EXPECT_EQ(SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0), 15);
    SendMessageW(memo, WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0), 14);
    SendMessageW(memo, EM_LINESCROLL, 0, -10);
    EXPECT_EQ(bar(), std::tuple(19, 5, 4));
    SendMessageW(memo, EM_SCROLLCARET, 0, 0);
    EXPECT_EQ(SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0), 15);
    Type(u"{Enter}");
    EXPECT_EQ(bar(), std::tuple(20, 5, 16));
    // The first visible line is drawn at the top.
    RunUntilIdle();
    EXPECT_EQ(SendMessageW(memo, EM_POSFROMCHAR, SendMessageW(memo, EM_LINEINDEX, 16, 0), 0), MAKELRESULT(0, 0));

    // A memo with a horizontal bar does not wrap and scrolls to the caret.
    const HWND wide = MakeEdit(ES_MULTILINE | WS_HSCROLL, {200, 5 * kLine}, u"short\r\n");
    Type(u"{Ctrl+End}" + std::u16string(40, u'w'));
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(wide, SB_HORZ, &info);
    EXPECT_EQ(info.nMax, 40 * kAdvance);
    EXPECT_GT(info.nPos, 0);
    POINT caret{};
    GetCaretPos(&caret);
    EXPECT_LT(caret.x, 200);
    EXPECT_EQ(SendMessageW(wide, EM_GETLINECOUNT, 0, 0), 2);
    SendMessageW(wide, WM_HSCROLL, SB_LEFT, 0);
    EXPECT_EQ(GET_X_LPARAM(SendMessageW(wide, EM_POSFROMCHAR, 0, 0)), 0);
}

// A keystroke repaints the line it changed; a new line the lines below too.
TEST_F(EditTest, AKeystrokeRepaintsOnlyTheDamagedLines) {
    const HWND memo = MakeEdit(ES_MULTILINE, {200, 10 * kLine}, u"a\r\nb\r\nc\r\nd\r\ne");
    SendMessageW(memo, EM_SETSEL, 6, 6); // line 2
    RunUntilIdle();
    SendMessageW(memo, WM_CHAR, u'x', 0);
    RECT update{};
    GetUpdateRect(memo, &update, FALSE);
    EXPECT_EQ(update.top, 2 * kLine);
    EXPECT_EQ(update.bottom, 3 * kLine);
    RunUntilIdle();
    SendMessageW(memo, WM_CHAR, u'\r', 0);
    GetUpdateRect(memo, &update, FALSE);
    EXPECT_EQ(update.top, 2 * kLine);
    EXPECT_EQ(update.bottom, 10 * kLine);
}

// A single line sits in the middle of a taller edit, as far from its top as
// from its bottom; a memo's lines start at the top.
TEST_F(EditTest, ASingleLineIsCentredVertically) {
    struct TCase {
        const char* name;
        DWORD style;
        int height;
        int lineTop;
    };
    for (const TCase& c : {TCase{"even room", 0, 24, 4}, TCase{"odd room", 0, 21, 2},
                           TCase{"no room", 0, kLine - 2, 0}, TCase{"memo", ES_MULTILINE, 24, 0}}) {
        SCOPED_TRACE(c.name);
        const HWND edit = MakeEdit(c.style, {200, c.height}, u"ab");
        int firstInk = -1;
        for (int y = c.height - 1; y >= 0; --y)
            if (PixelAt(edit, 4, y) == Sys(COLOR_WINDOWTEXT)) firstInk = y;
        EXPECT_EQ(firstInk, c.lineTop + 1) << "glyphs are inset by a pixel in their line";
        EXPECT_EQ(LineTop(edit), c.lineTop);
        POINT caret{};
        GetCaretPos(&caret);
        EXPECT_EQ(caret.y, c.lineTop);
        DestroyWindow(edit);
    }
}
