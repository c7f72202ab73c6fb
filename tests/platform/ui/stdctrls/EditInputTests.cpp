#include <functional>
#include <optional>

#include "../ControlFixture.h"
#include "../DialogControls.h"

#include "platform/ui/stdctrls/Edits.h"
#include "platform/ui/stdctrls/MaskEdit.h"
#include "platform/win/User.h"
#include "platform/win/controls/ControlConstants.h"
#include "platform/win/dataxfer/TextClipboard.h"
#include "platform/win/desktop/Desktop.h"
#include "platform/win/input/Input.h"

namespace {

class TEditFwClipboard final : public ITextClipboard {
public:
    std::optional<String> GetText() override { return text; }
    void SetText(const String& value) override { text = value; }
    std::optional<String> text;
};

void Type(const String& text) {
    for (char16_t c : text) {
        DesktopKey(VK_PACKET, true, String(1, c));
        DesktopKey(VK_PACKET, false);
    }
}

// A focused edit on a form, counting its OnChange, with a clipboard of its own.
class EditInputTest : public FormTest {
protected:
    template <class T = TEdit>
    T* Focused() {
        auto* edit = new T(form);
        edit->SetBounds(10, 10, 200, edit->Height());
        edit->SetParent(form);
        edit->OnChange = [this](TObject*) { ++changes; };
        edit->SetFocus();
        Settle();
        return edit;
    }
    void Settle() { Application().ProcessMessages(); }

    TForm* form = ShownForm({100, 100, 500, 400});
    TEditFwClipboard clipboard;
    TTextClipboardScope clipboardScope{clipboard};
    int changes = 0;
};

// What the user types reaches the framework: the text, the selection, the
// clipboard and one OnChange for each change.
TEST_F(EditInputTest, AKeyScriptEditsTheTextWithOneOnChangePerChange) {
    struct TCase {
        const char* name;
        std::function<void(TEdit*)> prepare;
        std::function<void()> keys;
        String text;
        std::optional<String> clipboard;
        int changes;
    } const cases[] = {
        {"typing", {}, [] { Type(u"abc"); }, u"abc", std::nullopt, 3},
        {"Shift+Home and Ctrl+X cut everything",
         {},
         [] {
             Type(u"abc");
             DesktopPressTyping(VK_HOME, {VK_SHIFT});
             DesktopPressTyping('X', {VK_CONTROL});
         },
         u"",
         u"abc",
         4},
        {"Ctrl+Z brings a cut back",
         {},
         [] {
             Type(u"abc");
             DesktopPressTyping(VK_HOME, {VK_SHIFT});
             DesktopPressTyping('X', {VK_CONTROL});
             DesktopPressTyping('Z', {VK_CONTROL});
         },
         u"abc",
         u"abc",
         5},
        {"MaxLength stops typing", [](TEdit* e) { e->SetMaxLength(5); }, [] { Type(u"abcdefg"); }, u"abcde",
         std::nullopt, 5},
        {"a read-only edit refuses typing and pasting but copies",
         [](TEdit* e) {
             e->SetText(u"xyz");
             e->SetReadOnly(true);
         },
         [] {
             Type(u"ab");
             DesktopPressTyping('A', {VK_CONTROL});
             DesktopPressTyping('V', {VK_CONTROL});
             DesktopPressTyping('C', {VK_CONTROL});
         },
         u"xyz",
         u"xyz",
         0},
        {"a password edit refuses copying",
         [](TEdit* e) { e->SetPasswordChar(u'*'); },
         [] {
             Type(u"ab");
             DesktopPressTyping('A', {VK_CONTROL});
             DesktopPressTyping('C', {VK_CONTROL});
         },
         u"ab",
         std::nullopt,
         2},
        {"Backspace deletes a surrogate pair whole",
         [](TEdit* e) {
             e->SetText(u"a\U0001F600");
             e->SetSelStart(3);
         },
         [] { DesktopPressTyping(VK_BACK); },
         u"a",
         std::nullopt,
         1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        clipboard.text.reset();
        TEdit* edit = Focused();
        if (c.prepare) c.prepare(edit);
        changes = 0;
        c.keys();
        Settle();
        EXPECT_EQ(edit->Text(), c.text);
        EXPECT_EQ(clipboard.text, c.clipboard);
        EXPECT_EQ(changes, c.changes);
        delete edit;
    }
}

// The framework's own calls go through the window's messages.
TEST_F(EditInputTest, SelectionClipboardAndUndoCallsWorkOnTheText) {
    TEdit* edit = Focused();
    edit->SetText(u"视频 abc");
    edit->SelectAll();
    EXPECT_EQ(edit->SelStart(), 0);
    EXPECT_EQ(edit->SelLength(), 6);
    edit->SetSelStart(3);
    edit->SetSelLength(3);
    EXPECT_EQ(edit->SelText(), u"abc");
    edit->CopyToClipboard();
    EXPECT_EQ(clipboard.text, u"abc");
    changes = 0;
    edit->SetSelText(u"xy");
    EXPECT_EQ(edit->Text(), u"视频 xy");
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(edit->CanUndo());
    edit->Undo();
    EXPECT_EQ(edit->Text(), u"视频 abc");
    edit->ClearUndo();
    EXPECT_FALSE(edit->CanUndo());
    edit->SetSelStart(0);
    edit->SetSelLength(2);
    edit->CutToClipboard();
    EXPECT_EQ(edit->Text(), u" abc");
    EXPECT_EQ(clipboard.text, u"视频");
    edit->SetSelStart(4);
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), u" abc视频");
    edit->SetSelStart(0);
    edit->SetSelLength(1);
    edit->ClearSelection();
    EXPECT_EQ(edit->Text(), u"abc视频");
    edit->Clear();
    EXPECT_EQ(edit->Text(), u"");
}

// Alignment makes a new window; what the user had stays.
TEST_F(EditInputTest, ANewWindowKeepsTextSelectionLimitReadOnlyPasswordAndModified) {
    TEdit* edit = Focused();
    Type(u"abcd");
    Settle();
    edit->SetSelStart(1);
    edit->SetSelLength(2);
    edit->SetMaxLength(6);
    edit->SetReadOnly(true);
    edit->SetPasswordChar(u'#');
    ASSERT_TRUE(edit->Modified());
    const HWND before = edit->Handle();
    changes = 0;

    edit->SetAlignment(taRightJustify);
    const HWND after = edit->Handle();
    EXPECT_NE(after, before);
    EXPECT_NE(GetWindowLongW(after, GWL_STYLE) & ES_RIGHT, 0);
    EXPECT_EQ(edit->Text(), u"abcd");
    EXPECT_EQ(edit->SelStart(), 1);
    EXPECT_EQ(edit->SelLength(), 2);
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(SendMessageW(after, EM_GETLIMITTEXT, 0, 0), 6);
    EXPECT_NE(GetWindowLongW(after, GWL_STYLE) & ES_READONLY, 0);
    EXPECT_EQ(SendMessageW(after, EM_GETPASSWORDCHAR, 0, 0), u'#');
    EXPECT_EQ(changes, 0) << "a new window is no change of the text";

    edit->SetModified(false);
    edit->SetAlignment(taCenter);
    EXPECT_FALSE(edit->Modified());
}

// Entering by the keyboard selects all of an edit's text; a memo keeps its caret.
TEST_F(EditInputTest, EnteringSelectsAllUnlessItIsAMemoOrAutoSelectIsOff) {
    struct TCase {
        const char* name;
        bool memo, autoSelect;
        int selLength;
    } const cases[] = {
        {"edit", false, true, 3},
        {"edit without AutoSelect", false, false, 0},
        {"memo", true, true, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TEdit* first = Focused();
        TCustomEdit* second = c.memo ? static_cast<TCustomEdit*>(new TMemo(form)) : new TEdit(form);
        second->SetBounds(10, 40, 200, second->Height());
        second->SetText(u"abc");
        second->SetAutoSelect(c.autoSelect);
        second->SetParent(form);
        second->SetSelStart(0);
        Settle();
        DesktopPressTyping(VK_TAB);
        Settle();
        ASSERT_EQ(GetFocus(), second->Handle());
        EXPECT_EQ(second->SelLength(), c.selLength);
        delete second;
        delete first;
    }
}

// Tab and Enter in a memo: typed when it wants them, else the dialog's.
TEST_F(EditInputTest, AMemoTakesTabsAndReturnsAsItsPropertiesSay) {
    struct TCase {
        const char* name;
        bool wantTabs, wantReturns;
        UINT key;
        String text;
        bool keepsFocus;
    } const cases[] = {
        {"a wanted tab", true, true, VK_TAB, u"\t", true},
        {"an unwanted tab moves on", false, true, VK_TAB, u"", false},
        {"a wanted return", false, true, VK_RETURN, u"\r\n", true},
        {"an unwanted return", false, false, VK_RETURN, u"", true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto* other = new TEdit(form);
        other->SetParent(form);
        TMemo* memo = Focused<TMemo>();
        memo->SetWantTabs(c.wantTabs);
        memo->SetWantReturns(c.wantReturns);
        DesktopPressTyping(c.key);
        Settle();
        EXPECT_EQ(memo->Text(), c.text);
        EXPECT_EQ(GetFocus() == memo->Handle(), c.keepsFocus);
        delete memo;
        delete other;
    }
}

// The input method composes in the edit: the preedit changes nothing, the
// commit replaces the selection at once (one OnChange, one undo step).
TEST_F(EditInputTest, AnInputMethodsCommitReplacesTheSelectionInOneStep) {
    for (const bool memo : {false, true}) {
        SCOPED_TRACE(memo ? "memo" : "edit");
        TCustomEdit* edit = memo ? static_cast<TCustomEdit*>(Focused<TMemo>()) : Focused<TEdit>();
        edit->SetText(u"ab cd");
        edit->SetSelStart(3);
        edit->SetSelLength(2);
        changes = 0;
        EXPECT_TRUE(ImeAcceptsText());

        DesktopImePreedit(u"shi", 3);
        Settle();
        EXPECT_EQ(edit->Text(), u"ab cd");
        EXPECT_EQ(changes, 0);

        DesktopImeCommit(u"视频");
        Settle();
        EXPECT_EQ(edit->Text(), u"ab 视频");
        EXPECT_EQ(edit->SelStart(), 5);
        EXPECT_EQ(changes, 1);
        edit->Undo();
        EXPECT_EQ(edit->Text(), u"ab cd");
        delete edit;
    }
}

TEST_F(EditInputTest, PasswordAndReadOnlyEditsTurnInputMethodsOff) {
    TEdit* edit = Focused();
    EXPECT_NE(ImmGetContext(edit->Handle()), nullptr);
    edit->SetPasswordChar(u'*');
    EXPECT_EQ(ImmGetContext(edit->Handle()), nullptr);
    edit->SetPasswordChar(0);
    EXPECT_NE(ImmGetContext(edit->Handle()), nullptr);
    edit->SetReadOnly(true);
    EXPECT_EQ(ImmGetContext(edit->Handle()), nullptr);
}

// Escape in a changed masked edit brings back the text it held when it was
// entered; in an unchanged one Escape is the dialog's (its Cancel button).
TEST_F(EditInputTest, EscapeInAChangedMaskEditBringsBackTheTextItHadOnEntering) {
    auto* cancel = new TTestButton(form);
    cancel->SetBounds(10, 100, 75, 25);
    cancel->isCancel = true;
    cancel->SetParent(form);
    int cancelled = 0;
    cancel->OnClick = [&](TObject*) { ++cancelled; };
    auto* edit = new TMaskEdit(form);
    edit->SetText(u"old");
    edit->SetParent(form);
    edit->OnChange = [this](TObject*) { ++changes; };
    EXPECT_FALSE(edit->IsMasked());
    edit->SetFocus();
    Settle();
    EXPECT_EQ(edit->EditText(), u"old");

    Type(u"new");
    Settle();
    ASSERT_EQ(edit->Text(), u"new");
    DesktopPressTyping(VK_ESCAPE);
    Settle();
    EXPECT_EQ(edit->Text(), u"old");
    EXPECT_FALSE(edit->Modified());
    EXPECT_EQ(cancelled, 0) << "the dialog did not see that Escape";

    DesktopPressTyping(VK_ESCAPE);
    Settle();
    EXPECT_EQ(cancelled, 1);
    EXPECT_EQ(edit->Text(), u"old");

    edit->SetEditText(u"set by code");
    edit->Reset();
    EXPECT_EQ(edit->Text(), u"set by code") << "a text set by code is no change to undo";
}

} // namespace
