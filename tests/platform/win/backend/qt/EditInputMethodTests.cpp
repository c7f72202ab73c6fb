// What a desktop input method sends to a presenter window reaches the focused
// edit: the preedit is shown without changing the text, the commit replaces
// the selection as one change, and the input method asks where the caret is.

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>

#include "PresenterFixture.h"
#include "platform/win/controls/ControlConstants.h"

namespace {

class EditInputMethodTest : public PresenterTest {
protected:
    void SetUp() override {
        PresenterTest::SetUp();
        form_ = Show(WS_OVERLAPPEDWINDOW, RECT{100, 100, 500, 400});
    }
    void Send(QEvent& event) {
        QCoreApplication::sendEvent(QtWindow(form_), &event);
        SettleDesktop();
    }
    QVariant Query(Qt::InputMethodQuery query) {
        QInputMethodQueryEvent event(query);
        QCoreApplication::sendEvent(QtWindow(form_), &event);
        return event.value(query);
    }
    // The edit that takes the text: the window itself, or a drop-down combo's edit.
    HWND MakeEdit(const char16_t* cls, DWORD style) {
        const HWND control = CreateWindowExW(0, cls, u"", WS_CHILD | WS_VISIBLE | style, 20, 30, 200, 60, form_,
                                             reinterpret_cast<HMENU>(7), nullptr, nullptr);
        const HWND inner = GetWindow(control, GW_CHILD);
        const HWND edit = inner ? inner : control;
        SetWindowTextW(edit, u"ab");
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 1, 2);
        SettleDesktop();
        ClearRecord();
        return edit;
    }
    // The change notifications the form received.
    int Changes(WORD code) {
        int n = 0;
        for (const TRecord& r : Recorded({WM_COMMAND})) n += r.hwnd == form_ && HIWORD(r.wParam) == code;
        return n;
    }
    static String TextOf(HWND hwnd) {
        char16_t text[32]{};
        GetWindowTextW(hwnd, text, 32);
        return text;
    }

    HWND form_ = nullptr;
};

TEST_F(EditInputMethodTest, PreeditLeavesTheTextAndTheCommitReplacesTheSelectionOnce) {
    struct TCase {
        const char* name;
        const char16_t* cls;
        DWORD style;
        WORD change;
    } const cases[] = {
        {"edit", u"EDIT", ES_AUTOHSCROLL, EN_CHANGE},
        {"memo", u"EDIT", ES_MULTILINE | ES_WANTRETURN, EN_CHANGE},
        {"drop-down combo", u"COMBOBOX", CBS_DROPDOWN, CBN_EDITCHANGE},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const HWND edit = MakeEdit(c.cls, c.style);
        EXPECT_TRUE(Query(Qt::ImEnabled).toBool());

        QInputMethodEvent preedit(QString("shi"), {QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, 3, 1)});
        Send(preedit);
        EXPECT_EQ(TextOf(edit), String(u"ab"));
        EXPECT_EQ(Changes(c.change), 0);
        // The input method's window goes where the caret is.
        POINT caret{};
        GetCaretPos(&caret);
        MapWindowPoints(edit, form_, &caret, 1);
        RECT frame{};
        GetWindowRect(form_, &frame);
        POINT client{0, 0};
        ClientToScreen(form_, &client);
        const QRect cursor = Query(Qt::ImCursorRectangle).toRect();
        EXPECT_EQ(cursor.left(), caret.x + client.x - frame.left);
        EXPECT_EQ(cursor.top(), caret.y + client.y - frame.top);
        EXPECT_GT(cursor.height(), 8);

        QInputMethodEvent commit;
        commit.setCommitString(QString::fromUtf8("视频"));
        Send(commit);
        EXPECT_EQ(TextOf(edit), String(u"a视频"));
        EXPECT_EQ(Changes(c.change), 1);
        EXPECT_TRUE(SendMessageW(edit, EM_CANUNDO, 0, 0));
        SendMessageW(edit, EM_UNDO, 0, 0);
        EXPECT_EQ(TextOf(edit), String(u"ab")) << "one undo step takes the whole commit back";
        DestroyWindow(GetParent(edit) == form_ ? edit : GetParent(edit));
    }
}

TEST_F(EditInputMethodTest, PasswordAndReadOnlyEditsTellTheInputMethodTheyTakeNoText) {
    MakeEdit(u"EDIT", ES_PASSWORD);
    EXPECT_FALSE(Query(Qt::ImEnabled).toBool());
    MakeEdit(u"EDIT", ES_READONLY);
    EXPECT_FALSE(Query(Qt::ImEnabled).toBool());
    MakeEdit(u"EDIT", 0);
    EXPECT_TRUE(Query(Qt::ImEnabled).toBool());
}

} // namespace
