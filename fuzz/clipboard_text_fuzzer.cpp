// Puts arbitrary bytes on the desktop's clipboard (Qt's, offscreen) as plain
// text, UTF-8 text, a URI list and HTML, as another program offers them; the
// first byte says which. What the text clipboard reads of them, and the
// clipboard object the program gets, must agree: the text as CF_UNICODETEXT
// (up to its first NUL, terminated) and CF_TEXT, the list's local files as
// CF_HDROP, the HTML as its flavour.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/win/backend/qt/QtTextClipboard.h"
#include "platform/win/dataxfer/DataTransfer.h"
#include "platform/win/dataxfer/DropFiles.h"
#include "platform/win/dataxfer/Media.h"
#include "platform/win/dataxfer/UriList.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

constexpr const char* kMimeTypes[] = {"text/plain", "text/plain;charset=utf-8", "text/uri-list", "text/html"};

// The desktop's clipboard through the program's text clipboard, for the process's life.
TQtTextClipboard& DesktopClipboard() {
    static TQtTextClipboard* clipboard = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "clipboard_text_fuzzer";
        static char* argv[] = {name, nullptr};
        new QGuiApplication(argc, argv);
        auto* text = new TQtTextClipboard;
        SetTextClipboard(text);
        return text;
    }();
    return *clipboard;
}

std::optional<TBytes> FormatBytes(IDataObject& data, CLIPFORMAT format) {
    const FORMATETC wanted{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium;
    if (data.GetData(wanted, medium) != S_OK) return std::nullopt;
    std::optional<TBytes> bytes = BytesOfMedium(medium);
    ReleaseStgMedium(&medium);
    return bytes;
}

void CheckText(IDataObject& data, const std::optional<String>& text) {
    const std::optional<TBytes> wide = FormatBytes(data, CF_UNICODETEXT);
    Require(wide.has_value() == text.has_value() && FormatBytes(data, CF_TEXT).has_value() == text.has_value());
    if (!text) return;
    const String expected = text->substr(0, text->find(u'\0'));
    Require(wide->size() % 2 == 0 && wide->size() >= 2);
    String got(wide->size() / 2, u'\0');
    std::copy(wide->begin(), wide->end(), reinterpret_cast<uint8_t*>(got.data()));
    Require(got.back() == u'\0' && got.substr(0, got.find(u'\0')) == expected);
}

void CheckFiles(IDataObject& data, const std::vector<String>& files) {
    const std::optional<TBytes> block = FormatBytes(data, CF_HDROP);
    Require(block.has_value() == !files.empty());
    if (block) Require(ReadDropFiles(block->data(), block->size()).names == files);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    TQtTextClipboard& clipboard = DesktopClipboard();
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    auto* offered = new QMimeData;
    for (size_t i = 0; i < std::size(kMimeTypes); ++i)
        if (data[0] & 1u << i) offered->setData(kMimeTypes[i], bytes);
    QGuiApplication::clipboard()->setMimeData(offered, QClipboard::Clipboard);

    const std::optional<String> text = clipboard.GetText();
    const std::optional<std::string> uriList = clipboard.GetFlavour("text/uri-list");
    Require(uriList.has_value() == bool(data[0] & 4));
    const std::optional<std::string> html = clipboard.GetFlavour("text/html");
    Require(html.has_value() == bool(data[0] & 8) && (!html || *html == bytes.toStdString()));

    TIntfPtr<IDataObject> object;
    Require(OleGetClipboard(object) == S_OK && object);
    CheckText(*object, text);
    CheckFiles(*object, uriList ? LocalFilesFromUriList(*uriList) : std::vector<String>());
    return 0;
}
