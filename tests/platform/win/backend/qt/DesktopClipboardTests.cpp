// The edits' clipboard is the desktop's while the Qt desktop is installed:
// what an edit copies other programs read from QClipboard, and what they put
// there pastes into an edit.

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "PresenterFixture.h"
#include "platform/win/controls/ControlConstants.h"

namespace {

class DesktopClipboardTest : public PresenterTest {
protected:
    void SetUp() override {
        PresenterTest::SetUp();
        form_ = Show(WS_OVERLAPPEDWINDOW, RECT{100, 100, 500, 400});
        edit_ = CreateWindowExW(0, u"EDIT", u"", WS_CHILD | WS_VISIBLE, 10, 10, 200, 24, form_, nullptr, nullptr,
                                nullptr);
        QGuiApplication::clipboard()->clear();
    }
    void TearDown() override {
        QGuiApplication::clipboard()->clear();
        PresenterTest::TearDown();
    }
    String EditText() const {
        char16_t text[64]{};
        GetWindowTextW(edit_, text, 64);
        return text;
    }

    HWND form_ = nullptr, edit_ = nullptr;
};

TEST_F(DesktopClipboardTest, CopiedTextReachesTheDesktopClipboardAndNotTheSelection) {
    SetWindowTextW(edit_, u"前 中文 text 后");
    SendMessageW(edit_, EM_SETSEL, 2, 9);
    SendMessageW(edit_, WM_COPY, 0, 0);
    EXPECT_EQ(QGuiApplication::clipboard()->text(QClipboard::Clipboard).toStdU16String(), u"中文 text");
    if (QGuiApplication::clipboard()->supportsSelection()) {
        EXPECT_TRUE(QGuiApplication::clipboard()->text(QClipboard::Selection).isEmpty());
    }
}

TEST_F(DesktopClipboardTest, DesktopTextPastesIntoAnEdit) {
    SetWindowTextW(edit_, u"ab");
    SendMessageW(edit_, EM_SETSEL, 1, 1);
    QGuiApplication::clipboard()->setText(QString::fromUtf8("粘贴"));
    SendMessageW(edit_, WM_PASTE, 0, 0);
    EXPECT_EQ(EditText(), u"a粘贴b");
}

TEST_F(DesktopClipboardTest, AnOfferWithoutTextPastesNothing) {
    SetWindowTextW(edit_, u"ab");
    SendMessageW(edit_, EM_SETSEL, 1, 1);
    auto* data = new QMimeData;
    data->setData("application/x-other", "bytes");
    QGuiApplication::clipboard()->setMimeData(data);
    SendMessageW(edit_, WM_PASTE, 0, 0);
    EXPECT_EQ(EditText(), u"ab");
}

} // namespace
