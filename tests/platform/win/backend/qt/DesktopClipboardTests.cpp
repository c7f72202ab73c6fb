// The clipboard is the desktop's while the Qt desktop is installed: what an
// edit copies other programs read from QClipboard, and what they put there
// pastes into an edit; an object on the clipboard publishes its text and keeps
// its other formats to this process.

#include <cstdio>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "PresenterFixture.h"
#include "platform/win/controls/ControlConstants.h"
#include "platform/win/dataxfer/DataTransfer.h"
#include "platform/win/dataxfer/Media.h"
#include "platform/win/dataxfer/StoredDataObject.h"

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
        OleSetClipboard(nullptr);
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

String DesktopText() { return QGuiApplication::clipboard()->text().toStdU16String(); }

std::optional<TBytes> BytesOf(IDataObject& data, CLIPFORMAT format) {
    const FORMATETC wanted{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium;
    if (data.GetData(wanted, medium) != S_OK) return std::nullopt;
    std::optional<TBytes> bytes = BytesOfMedium(medium);
    ReleaseStgMedium(&medium);
    return bytes;
}

// A copied tree's object: its text and a format only this process reads.
TIntfPtr<TStoredDataObject> TreeCopy(const String& text) {
    const TIntfPtr<TStoredDataObject> data = MakeIntf<TStoredDataObject>();
    data->SetText(text);
    data->SetBytes(CLIPFORMAT(RegisterClipboardFormatW(u"View Tree Data")), "nodes");
    return data;
}

TEST_F(DesktopClipboardTest, AnObjectPublishesItsTextAndKeepsItsOtherFormatsHere) {
    const TIntfPtr<TStoredDataObject> data = TreeCopy(u"节点 one");
    ASSERT_EQ(OleSetClipboard(data.get()), S_OK);
    EXPECT_EQ(DesktopText(), u"节点 one");
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasFormat("View Tree Data"));
    EXPECT_EQ(OleIsCurrentClipboard(data.get()), S_OK);
    TIntfPtr<IDataObject> current;
    ASSERT_EQ(OleGetClipboard(current), S_OK);
    EXPECT_EQ(current.get(), static_cast<IDataObject*>(data.get()));
    current.Reset();

    SetWindowTextW(edit_, u"");
    SendMessageW(edit_, WM_PASTE, 0, 0);
    EXPECT_EQ(EditText(), u"节点 one");
}

// An "HTML Format" block framing Document: a header of offsets, then the document.
std::string HtmlFormatBlock(const std::string& document) {
    char header[128];
    const int headerSize = std::snprintf(header, sizeof header, "Version:1.0\r\nStartHTML:%.8d\r\nEndHTML:%.8d\r\n", 0, 0);
    std::snprintf(header, sizeof header, "Version:1.0\r\nStartHTML:%.8d\r\nEndHTML:%.8d\r\n", headerSize,
                  headerSize + int(document.size()));
    return header + document + "trailing bytes outside the document";
}

TEST_F(DesktopClipboardTest, HtmlRtfAndCsvFormsGoAlongWithTheText) {
    const TIntfPtr<TStoredDataObject> data = TreeCopy(u"a\tb");
    const std::string html = "<html><body><table><tr><td>a</td><td>表</td></tr></table></body></html>";
    data->SetBytes(CLIPFORMAT(RegisterClipboardFormatW(u"HTML Format")), HtmlFormatBlock(html) + '\0');
    data->SetBytes(CLIPFORMAT(RegisterClipboardFormatW(u"Rich Text Format")), std::string("{\\rtf1 a}") + '\0');
    data->SetBytes(CLIPFORMAT(RegisterClipboardFormatW(u"CSV")), std::string("a,b\r\n") + '\0');
    OleSetClipboard(data.get());
    const QMimeData* published = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(published, nullptr);
    EXPECT_EQ(published->text().toStdU16String(), u"a\tb");
    EXPECT_EQ(published->data("text/html").toStdString(), html);
    EXPECT_EQ(published->data("text/rtf").toStdString(), "{\\rtf1 a}");
    EXPECT_EQ(published->data("text/csv").toStdString(), "a,b\r\n");
    EXPECT_EQ(OleIsCurrentClipboard(data.get()), S_OK);
}

TEST_F(DesktopClipboardTest, AnHtmlBlockWithOffsetsOutsideItIsNotPublished) {
    const TIntfPtr<TStoredDataObject> data = TreeCopy(u"text");
    data->SetBytes(CLIPFORMAT(RegisterClipboardFormatW(u"HTML Format")),
                   "Version:1.0\r\nStartHTML:00000040\r\nEndHTML:99999999\r\n<html></html>");
    OleSetClipboard(data.get());
    const QMimeData* published = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(published, nullptr);
    EXPECT_FALSE(published->hasFormat("text/html"));
    EXPECT_EQ(published->text().toStdU16String(), u"text");
}

TEST_F(DesktopClipboardTest, FlushingKeepsTheTextAfterTheObjectIsGone) {
    const TIntfPtr<TStoredDataObject> data = TreeCopy(u"first");
    OleSetClipboard(data.get());
    data->SetText(u"second"); // what the object answers when flushed
    ASSERT_EQ(OleFlushClipboard(), S_OK);
    EXPECT_EQ(data->RefCount(), 1);
    EXPECT_EQ(OleIsCurrentClipboard(data.get()), S_FALSE);
    EXPECT_EQ(DesktopText(), u"second");
    TIntfPtr<IDataObject> offer;
    ASSERT_EQ(OleGetClipboard(offer), S_OK);
    const std::u16string wide = u"second";
    const auto* units = reinterpret_cast<const uint8_t*>(wide.c_str());
    EXPECT_EQ(BytesOf(*offer, CF_UNICODETEXT), TBytes(units, units + 2 * (wide.size() + 1)));
    EXPECT_EQ(BytesOf(*offer, CLIPFORMAT(RegisterClipboardFormatW(u"View Tree Data"))), std::nullopt);
}

TEST_F(DesktopClipboardTest, TextCopiedByAnotherProgramReplacesTheObject) {
    const TIntfPtr<TStoredDataObject> data = TreeCopy(u"ours");
    OleSetClipboard(data.get());
    QGuiApplication::clipboard()->setText(QString::fromUtf8("别的程序"));
    EXPECT_EQ(OleIsCurrentClipboard(data.get()), S_FALSE);
    EXPECT_EQ(data->RefCount(), 1);
    TIntfPtr<IDataObject> offer;
    ASSERT_EQ(OleGetClipboard(offer), S_OK);
    const std::string utf8 = "别的程序";
    EXPECT_EQ(BytesOf(*offer, CF_TEXT), TBytes(utf8.begin(), utf8.end() + 1));

    // Emptying the clipboard with nothing of ours on it leaves the other program's text.
    EXPECT_EQ(OleSetClipboard(nullptr), S_OK);
    EXPECT_EQ(DesktopText(), u"别的程序");

    // The same text copied again by someone else is still someone else's.
    OleSetClipboard(data.get());
    QGuiApplication::clipboard()->setText(QString::fromUtf8("ours"));
    EXPECT_EQ(OleIsCurrentClipboard(data.get()), S_FALSE);
}

TEST_F(DesktopClipboardTest, FilesCopiedByAFileManagerArriveAsAFileList) {
    // Our object has no text, so only the change itself tells that it was replaced.
    const TIntfPtr<TStoredDataObject> data = MakeIntf<TStoredDataObject>();
    data->SetBytes(CLIPFORMAT(RegisterClipboardFormatW(u"View Tree Data")), "nodes");
    OleSetClipboard(data.get());
    auto* copied = new QMimeData;
    copied->setData("text/uri-list", "file:///home/u/%E8%A7%86%E9%A2%91.mkv\r\nsmb://x/y\r\n");
    QGuiApplication::clipboard()->setMimeData(copied);
    EXPECT_EQ(OleIsCurrentClipboard(data.get()), S_FALSE);

    TIntfPtr<IDataObject> offer;
    ASSERT_EQ(OleGetClipboard(offer), S_OK);
    FORMATETC files{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium;
    ASSERT_EQ(offer->GetData(files, medium), S_OK);
    const auto drop = static_cast<HDROP>(medium.hGlobal);
    ASSERT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 1u);
    char16_t name[64]{};
    DragQueryFileW(drop, 0, name, 64);
    EXPECT_EQ(String(name), u"/home/u/视频.mkv");
    ReleaseStgMedium(&medium);

    FORMATETC pasted{CLIPFORMAT(RegisterClipboardFormatW(u"Paste Succeeded")), nullptr, DVASPECT_CONTENT, -1,
                     TYMED_HGLOBAL};
    const DWORD effect = DROPEFFECT_COPY;
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = GlobalFromBytes(&effect, sizeof effect);
    EXPECT_EQ(offer->SetData(pasted, medium, TRUE), S_OK);
}

TEST_F(DesktopClipboardTest, EmptyingTheClipboardTakesOurTextOffTheDesktop) {
    const TIntfPtr<TStoredDataObject> data = TreeCopy(u"ours");
    OleSetClipboard(data.get());
    EXPECT_EQ(OleSetClipboard(nullptr), S_OK);
    EXPECT_EQ(data->RefCount(), 1);
    const QMimeData* left = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(!left || !left->hasText());
    TIntfPtr<IDataObject> offer;
    ASSERT_EQ(OleGetClipboard(offer), S_OK);
    const FORMATETC text{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    EXPECT_EQ(offer->QueryGetData(text), DV_E_FORMATETC);
}

} // namespace
