// Edit messages: text queries, selection, lines, modify and undo state,
// dialog codes, margins, alignment and password characters.
#include "EditFixture.h"
#include "platform/win/controls/Controls.h"

TEST_F(EditTest, TextQueriesAnswerExactLengthsAndNeverWritePastTheBuffer) {
    const HWND edit = MakeEdit(0, {200, 24}, u"视频 a\U0001F600");
    EXPECT_EQ(SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0), 6);
    struct TCase {
        int size;
        LRESULT copied;
        std::u16string text;
    };
    for (const TCase& c : {TCase{7, 6, u"视频 a\U0001F600"}, TCase{6, 4, u"视频 a"}, TCase{3, 2, u"视频"},
                           TCase{1, 0, u""}}) {
        SCOPED_TRACE(c.size);
        std::vector<char16_t> buffer(12, u'#');
        EXPECT_EQ(SendMessageW(edit, WM_GETTEXT, WPARAM(c.size), reinterpret_cast<LPARAM>(buffer.data())), c.copied);
        EXPECT_EQ(std::u16string(buffer.data()), c.text);
        EXPECT_EQ(buffer[size_t(c.size)], u'#') << "written past the buffer";
    }
}

TEST_F(EditTest, SelectionMessages) {
    const HWND edit = MakeEdit(0, {200, 24}, u"abc");
    struct TCase {
        const char* name;
        WPARAM start;
        LPARAM end;
        std::pair<int, int> selection;
        LRESULT answer; // EM_GETSEL's packed answer
    };
    for (const TCase& c : {TCase{"all", 0, -1, {0, 3}, MAKELRESULT(0, 3)},
                           TCase{"backwards", 3, 1, {1, 3}, MAKELRESULT(1, 3)},
                           TCase{"clamped", 2, 99, {2, 3}, MAKELRESULT(2, 3)},
                           TCase{"-1 takes the selection away", WPARAM(-1), 0, {1, 1}, MAKELRESULT(1, 1)}}) {
        SCOPED_TRACE(c.name);
        if (std::string_view(c.name) == "-1 takes the selection away") SendMessageW(edit, EM_SETSEL, 3, 1);
        SendMessageW(edit, EM_SETSEL, c.start, c.end);
        EXPECT_EQ(Selection(edit), c.selection);
        EXPECT_EQ(SendMessageW(edit, EM_GETSEL, 0, 0), c.answer);
    }
    // A selection inside a pair or a CR LF moves to its start.
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"a\U0001F600b"));
    SendMessageW(edit, EM_SETSEL, 2, 2);
    EXPECT_EQ(Selection(edit), std::pair(1, 1));
    // EM_REPLACESEL replaces it and can be undone.
    SendMessageW(edit, EM_SETSEL, 0, 1);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(u"xy"));
    EXPECT_EQ(Text(edit), String(u"xy\U0001F600b"));
    EXPECT_EQ(Selection(edit), std::pair(2, 2));
    EXPECT_TRUE(SendMessageW(edit, EM_CANUNDO, 0, 0));
    SendMessageW(edit, EM_UNDO, 0, 0);
    EXPECT_EQ(Text(edit), String(u"a\U0001F600b"));
}

TEST_F(EditTest, ModifyUndoAndLimitState) {
    const HWND edit = MakeEdit(0);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"abc"));
    EXPECT_FALSE(SendMessageW(edit, EM_GETMODIFY, 0, 0));
    EXPECT_FALSE(SendMessageW(edit, EM_CANUNDO, 0, 0)) << "set text is not undone";
    Type(u"x");
    EXPECT_TRUE(SendMessageW(edit, EM_GETMODIFY, 0, 0));
    EXPECT_TRUE(SendMessageW(edit, EM_CANUNDO, 0, 0));
    SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
    EXPECT_FALSE(SendMessageW(edit, EM_CANUNDO, 0, 0));
    EXPECT_FALSE(SendMessageW(edit, EM_UNDO, 0, 0));
    SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
    EXPECT_FALSE(SendMessageW(edit, EM_GETMODIFY, 0, 0));
    // EM_REPLACESEL without undo leaves nothing to undo.
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(u"y"));
    EXPECT_FALSE(SendMessageW(edit, EM_CANUNDO, 0, 0));
    SendMessageW(edit, EM_LIMITTEXT, 5, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 5);
    SendMessageW(edit, EM_LIMITTEXT, 0, 0);
    EXPECT_GT(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 0xFFFF);
    // The limit holds typing only: set text may be longer.
    SendMessageW(edit, EM_LIMITTEXT, 2, 0);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"abcd"));
    EXPECT_EQ(Text(edit), String(u"abcd"));
}

TEST_F(EditTest, SetTextNotifiesAndTheParentHearsFocus) {
    const HWND edit = MakeEdit(0);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"abc"));
    EXPECT_EQ(Notifications(edit), (std::vector<WORD>{EN_UPDATE, EN_CHANGE}));
    ClearRecord();
    SetFocus(parent_);
    SetFocus(edit);
    EXPECT_EQ(Notifications(edit), (std::vector<WORD>{EN_KILLFOCUS, EN_SETFOCUS}));
    ClearRecord();
    Type(u"d");
    EXPECT_EQ(Notifications(edit), (std::vector<WORD>{EN_UPDATE, EN_CHANGE}));
    const auto commands = Recorded({WM_COMMAND});
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(LOWORD(commands[0].wParam), 7) << "the control's id";
}

TEST_F(EditTest, LinesOfAMemo) {
    // 20 characters a line fit in 160 pixels; the memo wraps at words.
    const HWND memo = MakeEdit(ES_MULTILINE, {160, 100}, u"one\r\ntwo three four five six\r\n\r\nend");
    EXPECT_EQ(SendMessageW(memo, EM_GETLINECOUNT, 0, 0), 5);
    struct TCase {
        int line;
        LRESULT index, length;
        std::u16string text;
    };
    for (const TCase& c : {TCase{0, 0, 3, u"one"}, TCase{1, 5, 20, u"two three four five "}, TCase{2, 25, 3, u"six"},
                           TCase{3, 30, 0, u""}, TCase{4, 32, 3, u"end"}}) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(SendMessageW(memo, EM_LINEINDEX, WPARAM(c.line), 0), c.index);
        EXPECT_EQ(SendMessageW(memo, EM_LINELENGTH, WPARAM(c.index), 0), c.length);
        EXPECT_EQ(SendMessageW(memo, EM_LINEFROMCHAR, WPARAM(c.index), 0), c.line);
        std::vector<char16_t> buffer(40, u'#');
        buffer[0] = 39;
        const LRESULT copied = SendMessageW(memo, EM_GETLINE, WPARAM(c.line), reinterpret_cast<LPARAM>(buffer.data()));
        EXPECT_EQ(std::u16string(buffer.data(), size_t(copied)), c.text);
    }
    EXPECT_EQ(SendMessageW(memo, EM_LINEINDEX, 5, 0), -1);
    // EM_GETLINE writes no more than the size in the buffer's first word.
    std::vector<char16_t> small(6, u'#');
    small[0] = 3;
    EXPECT_EQ(SendMessageW(memo, EM_GETLINE, 1, reinterpret_cast<LPARAM>(small.data())), 3);
    EXPECT_EQ(small[3], u'#');
    // With a horizontal scroll bar it does not wrap.
    const HWND wide = MakeEdit(ES_MULTILINE | WS_HSCROLL, {160, 100}, u"one\r\ntwo three four five six\r\n\r\nend");
    EXPECT_EQ(SendMessageW(wide, EM_GETLINECOUNT, 0, 0), 4);
}

TEST_F(EditTest, DialogCodes) {
    constexpr LRESULT kEdit = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    for (const auto& [style, code] : {std::pair{DWORD(0), kEdit}, std::pair{DWORD(ES_MULTILINE), kEdit},
                                      std::pair{DWORD(ES_MULTILINE | ES_WANTRETURN), kEdit | DLGC_WANTALLKEYS}}) {
        const HWND edit = MakeEdit(style);
        EXPECT_EQ(SendMessageW(edit, WM_GETDLGCODE, 0, 0), code) << style;
    }
}

TEST_F(EditTest, AlignmentMarginsAndPasswordCharacters) {
    struct TCase {
        const char* name;
        DWORD style;
        int x; // of the first character, for "abcd" (32 pixels) in 200
    };
    for (const TCase& c : {TCase{"left", ES_LEFT, 0}, TCase{"centre", ES_CENTER, 83}, TCase{"right", ES_RIGHT, 167}}) {
        SCOPED_TRACE(c.name);
        const HWND edit = MakeEdit(c.style, {200, 24}, u"abcd");
        EXPECT_EQ(GET_X_LPARAM(SendMessageW(edit, EM_POSFROMCHAR, 0, 0)), c.x);
    }
    const HWND edit = MakeEdit(0, {200, 24}, u"abcd");
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(5, 7));
    EXPECT_EQ(SendMessageW(edit, EM_GETMARGINS, 0, 0), MAKELRESULT(5, 7));
    RECT rect{};
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect));
    EXPECT_EQ(rect.left, 5);
    EXPECT_EQ(rect.right, 193);
    EXPECT_EQ(GET_X_LPARAM(SendMessageW(edit, EM_POSFROMCHAR, 1, 0)), 5 + kAdvance);

    // One password character for each character, a pair included: "a😀" is
    // 24 pixels as text, two characters masked.
    const HWND password = MakeEdit(ES_PASSWORD, {200, 24}, u"a\U0001F600");
    EXPECT_EQ(SendMessageW(password, EM_GETPASSWORDCHAR, 0, 0), u'*');
    EXPECT_EQ(GET_X_LPARAM(SendMessageW(password, EM_POSFROMCHAR, 3, 0)), 2 * kAdvance);
    SendMessageW(password, EM_SETPASSWORDCHAR, 0, 0);
    EXPECT_EQ(GET_X_LPARAM(SendMessageW(password, EM_POSFROMCHAR, 3, 0)), 3 * kAdvance);
    EXPECT_FALSE(GetWindowLongPtrW(password, GWL_STYLE) & ES_PASSWORD);
    SendMessageW(password, EM_SETSEL, 0, -1);
    SendMessageW(password, WM_COPY, 0, 0);
    EXPECT_EQ(clipboard_.text, std::optional<String>(String(u"a\U0001F600"))) << "shown text copies";
}
