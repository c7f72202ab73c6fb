// Keys typed into edits: one script table over text, selection, clipboard,
// undo, the limit, read-only and password edits, and memos.
#include "EditFixture.h"
#include "platform/win/controls/Controls.h"

namespace {

struct TKeyCase {
    const char* name;
    DWORD style;
    const char16_t* initial;  // set with WM_SETTEXT before the script
    int limit;                // EM_LIMITTEXT when not 0
    const char16_t* script;
    const char16_t* text;     // afterwards
    std::pair<int, int> selection;
    const char16_t* clipboard; // afterwards; the clipboard starts with "zz"
    int changes;              // EN_CHANGE notifications
    int maxTexts;             // EN_MAXTEXT notifications
};

const TKeyCase kKeyCases[] = {
    {"cut of the typed line", 0, u"", 0, u"abc{Shift+Home}{Ctrl+X}", u"", {0, 0}, u"abc", 4, 0},
    {"undo brings the cut back", 0, u"", 0, u"abc{Shift+Home}{Ctrl+X}{Ctrl+Z}", u"abc", {0, 3}, u"abc", 5, 0},
    {"typing is one undo step, undone twice it is back", 0, u"", 0, u"abc{Ctrl+Z}", u"", {0, 0}, u"zz", 4, 0},
    {"undo of an undo", 0, u"", 0, u"abc{Ctrl+Z}{Ctrl+Z}", u"abc", {0, 3}, u"zz", 5, 0},
    {"the limit stops typing", 0, u"", 5, u"abcdefg", u"abcde", {5, 5}, u"zz", 5, 2},
    {"the limit cuts a paste", 0, u"", 5, u"ab{Ctrl+V}{Ctrl+V}", u"abzzz", {5, 5}, u"zz", 4, 1},
    {"a surrogate pair goes with one Backspace", 0, u"", 0, u"a\U0001F600{Back}", u"a", {1, 1}, u"zz", 3, 0},
    {"arrows step over a pair", 0, u"a\U0001F600b", 0, u"{End}{Left}{Left}{Shift+Right}", u"a\U0001F600b", {1, 3},
     u"zz", 0, 0},
    {"Ctrl+arrows go by words", 0, u"one two three", 0, u"{End}{Ctrl+Left}{Ctrl+Left}{Ctrl+Shift+Right}",
     u"one two three", {4, 8}, u"zz", 0, 0},
    {"Ctrl+A selects all and typing replaces it", 0, u"abc", 0, u"{Ctrl+A}x", u"x", {1, 1}, u"zz", 1, 0},
    {"Shift+End from the middle", 0, u"abcdef", 0, u"{Home}{Right}{Right}{Shift+End}", u"abcdef", {2, 6}, u"zz", 0, 0},
    {"Delete and Ctrl+Delete", 0, u"abc def", 0, u"{Home}{Delete}{Ctrl+Delete}", u"def", {0, 0}, u"zz", 2, 0},
    {"Ctrl+Backspace takes the word before", 0, u"", 0, u"abc def{Ctrl+Back}", u"abc ", {4, 4}, u"zz", 8, 0},
    {"backspaces are one undo step", 0, u"abcdef", 0, u"{End}{Back}{Back}{Back}{Ctrl+Z}", u"abcdef", {3, 6}, u"zz",
     4, 0},
    {"Ctrl+C copies, Shift+Insert pastes", 0, u"abc", 0, u"{Ctrl+A}{Ctrl+C}{End}{Shift+Insert}", u"abcabc", {6, 6},
     u"abc", 1, 0},
    {"read-only refuses typing, cut and paste but copies", ES_READONLY, u"abc", 0,
     u"x{Back}{Ctrl+A}{Ctrl+X}{Ctrl+V}{Delete}{Ctrl+C}", u"abc", {0, 3}, u"abc", 0, 0},
    {"password refuses copy and cut", ES_PASSWORD, u"", 0, u"secret{Ctrl+A}{Ctrl+C}{Ctrl+X}", u"secret", {0, 6},
     u"zz", 6, 0},
    {"upper case", ES_UPPERCASE, u"", 0, u"abC", u"ABC", {3, 3}, u"zz", 3, 0},
    {"lower case", ES_LOWERCASE, u"", 0, u"AbC", u"abc", {3, 3}, u"zz", 3, 0},
    {"a single line takes no Enter or Tab", 0, u"", 0, u"a{Enter}{Tab}b", u"ab", {2, 2}, u"zz", 2, 0},
    {"a memo takes Enter as CR LF", ES_MULTILINE | ES_WANTRETURN, u"", 0, u"ab{Enter}cd", u"ab\r\ncd", {6, 6}, u"zz",
     5, 0},
    {"a memo goes up and to the line's end", ES_MULTILINE | ES_WANTRETURN, u"ab\r\ncd", 0, u"{Ctrl+End}{Up}{End}x",
     u"abx\r\ncd", {3, 3}, u"zz", 1, 0},
    {"Backspace joins memo lines", ES_MULTILINE, u"ab\r\ncd", 0, u"{Down}{Home}{Back}", u"abcd", {2, 2}, u"zz", 1, 0},
    {"a memo keeps the column going down", ES_MULTILINE, u"abcd\r\nx\r\nabcd", 0, u"{Right}{Right}{Down}{Down}",
     u"abcd\r\nx\r\nabcd", {11, 11}, u"zz", 0, 0},
};

} // namespace

TEST_F(EditTest, KeyScripts) {
    for (const TKeyCase& c : kKeyCases) {
        SCOPED_TRACE(c.name);
        const HWND edit = MakeEdit(c.style);
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.initial));
        SendMessageW(edit, EM_SETSEL, 0, 0);
        if (c.limit) SendMessageW(edit, EM_LIMITTEXT, WPARAM(c.limit), 0);
        clipboard_.text = String(u"zz");
        ClearRecord();
        Type(c.script);
        EXPECT_EQ(Text(edit), String(c.text));
        EXPECT_EQ(Selection(edit), c.selection);
        EXPECT_EQ(clipboard_.text, std::optional<String>(String(c.clipboard)));
        EXPECT_EQ(Notifications(edit, EN_CHANGE).size(), size_t(c.changes));
        EXPECT_EQ(Notifications(edit, EN_MAXTEXT).size(), size_t(c.maxTexts));
        DestroyWindow(edit);
    }
}

TEST_F(EditTest, PastedLineBreaks) {
    struct TCase {
        const char* name;
        DWORD style;
        const char16_t* pasted;
        const char16_t* text;
    };
    for (const TCase& c : {TCase{"a single line takes the first line", 0, u"one\r\ntwo", u"one"},
                           TCase{"a single line, a lone LF", 0, u"one\ntwo", u"one"},
                           TCase{"a memo keeps CR LF", ES_MULTILINE, u"one\r\ntwo", u"one\r\ntwo"},
                           TCase{"a memo makes lone breaks CR LF", ES_MULTILINE, u"a\nb\rc", u"a\r\nb\r\nc"}}) {
        SCOPED_TRACE(c.name);
        const HWND edit = MakeEdit(c.style);
        clipboard_.text = String(c.pasted);
        SendMessageW(edit, WM_PASTE, 0, 0);
        EXPECT_EQ(Text(edit), String(c.text));
        DestroyWindow(edit);
    }
}
