#include <functional>

#include "../ControlFixture.h"

#include "platform/ui/stdctrls/Edits.h"
#include "platform/win/User.h"
#include "platform/win/controls/ControlConstants.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/text/Text.h"

namespace {

class EditFrameworkTest : public FormTest {
protected:
    template <class T>
    T* Add() {
        auto* edit = new T(form);
        edit->SetBounds(10, 10, 200, edit->Height());
        edit->SetParent(form);
        return edit;
    }
    static LONG Style(TWinControl* control) { return GetWindowLongW(control->Handle(), GWL_STYLE); }
    static LONG ExStyle(TWinControl* control) { return GetWindowLongW(control->Handle(), GWL_EXSTYLE); }

    TForm* form = ShownForm({100, 100, 500, 400});
};

// Each property becomes its window style, whether set before the window is
// made or on a live one (which then gets a new window with the same text,
// in the forced case where one is).
TEST_F(EditFrameworkTest, PropertiesBecomeWindowStylesAndSurviveANewWindow) {
    struct TCase {
        const char* name;
        std::function<void(TEdit*)> set;
        DWORD style;
        const char16_t* text;
    } const cases[] = {
        {"read-only", [](TEdit* e) { e->SetReadOnly(true); }, ES_READONLY, u"视频 Abc"},
        {"password", [](TEdit* e) { e->SetPasswordChar(u'*'); }, ES_PASSWORD, u"视频 Abc"},
        {"upper case", [](TEdit* e) { e->SetCharCase(ecUpperCase); }, ES_UPPERCASE, u"视频 ABC"},
        {"lower case", [](TEdit* e) { e->SetCharCase(ecLowerCase); }, ES_LOWERCASE, u"视频 abc"},
        {"selection always shown", [](TEdit* e) { e->SetHideSelection(false); }, ES_NOHIDESEL, u"视频 Abc"},
        {"centred", [](TEdit* e) { e->SetAlignment(taCenter); }, ES_CENTER, u"视频 Abc"},
        {"right-aligned", [](TEdit* e) { e->SetAlignment(taRightJustify); }, ES_RIGHT, u"视频 Abc"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (const bool live : {false, true}) {
            SCOPED_TRACE(live ? "on a live window" : "before the window");
            auto* edit = new TEdit(form);
            edit->SetText(u"视频 Abc");
            if (live) {
                edit->SetParent(form);
                edit->HandleNeeded();
            }
            c.set(edit);
            edit->SetParent(form);
            EXPECT_EQ(Style(edit) & c.style, c.style);
            EXPECT_NE(Style(edit) & ES_AUTOHSCROLL, 0u);
            EXPECT_EQ(edit->Text(), c.text);
            // And the next window keeps it.
            edit->SetBorderStyle(kNoBorder);
            EXPECT_EQ(Style(edit) & c.style, c.style);
            EXPECT_EQ(ExStyle(edit) & WS_EX_CLIENTEDGE, 0);
            EXPECT_EQ(edit->Text(), c.text);
            delete edit;
        }
    }
}

TEST_F(EditFrameworkTest, TheBorderIsAClientEdgeByDefault) {
    TEdit* edit = Add<TEdit>();
    EXPECT_NE(ExStyle(edit) & WS_EX_CLIENTEDGE, 0);
    EXPECT_TRUE(edit->TabStop());
    EXPECT_EQ(edit->Color(), clWindow);
}

// A text set while there is no window is a change too; the same text is none.
TEST_F(EditFrameworkTest, ATextSetWithoutAWindowGivesOneOnChange) {
    auto* edit = new TEdit(form);
    int changes = 0;
    edit->OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, edit);
        ++changes;
    };
    edit->SetText(u"abc");
    EXPECT_EQ(changes, 1);
    edit->SetText(u"abc");
    EXPECT_EQ(changes, 1);
    edit->SetParent(form);
    edit->HandleNeeded();
    EXPECT_EQ(changes, 1) << "making the window is no change";
}

// The font's height with room for a client edge (8 pixels), or none without a border.
TEST_F(EditFrameworkTest, AutoSizeTakesTheHeightFromTheFont) {
    TEdit* edit = Add<TEdit>();
    TEXTMETRICW metrics{};
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, ToGdiObject(edit->Font()->Handle()));
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(edit->Height(), metrics.tmHeight + 8);
    edit->SetHeight(60);
    EXPECT_EQ(edit->Height(), 60);
    edit->Font()->SetStyle({fsBold});
    EXPECT_EQ(edit->Height(), metrics.tmHeight + 8) << "a font change sizes it again";
    edit->SetAutoSize(false);
    edit->SetHeight(60);
    edit->Font()->SetStyle({});
    EXPECT_EQ(edit->Height(), 60);
    edit->SetAutoSize(true);
    EXPECT_EQ(edit->Height(), metrics.tmHeight + 8);
    edit->SetBorderStyle(kNoBorder);
    EXPECT_EQ(edit->Height(), metrics.tmHeight);
}

TEST_F(EditFrameworkTest, AMemoIsMultilineWithItsScrollBarsAndWrapping) {
    struct TCase {
        TScrollStyle scrollBars;
        bool wordWrap;
        DWORD present, absent;
    } const cases[] = {
        {ssNone, true, ES_MULTILINE, ES_AUTOHSCROLL | WS_HSCROLL | WS_VSCROLL},
        {ssVertical, true, ES_MULTILINE | WS_VSCROLL, ES_AUTOHSCROLL | WS_HSCROLL},
        {ssBoth, false, ES_MULTILINE | ES_AUTOHSCROLL | WS_HSCROLL | WS_VSCROLL, 0},
        {ssHorizontal, false, ES_MULTILINE | WS_HSCROLL, WS_VSCROLL},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(int(c.scrollBars));
        TMemo* memo = Add<TMemo>();
        memo->SetScrollBars(c.scrollBars);
        memo->SetWordWrap(c.wordWrap);
        EXPECT_EQ(Style(memo) & c.present, c.present);
        EXPECT_EQ(Style(memo) & c.absent, 0u);
        EXPECT_EQ(memo->Height(), 89) << "a memo keeps its height";
        delete memo;
    }
}

// Lines are the text split at CR LF, the window's or, before there is one,
// the control's; lines added end with a break, a text without one keeps its last line.
TEST_F(EditFrameworkTest, MemoLinesEditTheTextWithOrWithoutAWindow) {
    struct TCase {
        const char* name;
        String before;
        std::function<void(TStrings*)> edit;
        String after;
        int count;
    } const cases[] = {
        {"adding to nothing", u"", [](TStrings* l) { l->Add(u"a"); l->Add(u"视频"); }, u"a\r\n视频\r\n", 2},
        {"adding after a last line without a break", u"a", [](TStrings* l) { l->Add(u"b"); }, u"a\r\nb", 2},
        {"inserting first", u"a\r\nb", [](TStrings* l) { l->Insert(0, u"x"); }, u"x\r\na\r\nb", 3},
        {"deleting the middle", u"a\r\nb\r\nc\r\n", [](TStrings* l) { l->Delete(1); }, u"a\r\nc\r\n", 2},
        {"deleting the last", u"a\r\nb", [](TStrings* l) { l->Delete(1); }, u"a\r\n", 1},
        {"replacing a line", u"a\r\nb\r\n", [](TStrings* l) { l->SetStrings(1, u"视频"); }, u"a\r\n视频\r\n", 2},
        {"setting the text", u"a", [](TStrings* l) { l->SetText(u"x\r\ny"); }, u"x\r\ny", 2},
        {"clearing", u"a\r\nb", [](TStrings* l) { l->Clear(); }, u"", 0},
    };
    for (const TCase& c : cases)
        for (const bool windowed : {false, true}) {
        SCOPED_TRACE(c.name);
        SCOPED_TRACE(windowed ? "with a window" : "without a window");
        auto* memo = new TMemo(form);
        if (windowed) memo->SetParent(form);
        memo->SetText(c.before);
        c.edit(memo->Lines());
        EXPECT_EQ(memo->Text(), c.after);
        EXPECT_EQ(memo->Lines()->Count(), c.count);
        EXPECT_EQ(memo->Lines()->Text(), c.after) << "the lines' text is the memo's";
        EXPECT_EQ(memo->HandleAllocated(), windowed);
        delete memo;
    }
}

} // namespace
