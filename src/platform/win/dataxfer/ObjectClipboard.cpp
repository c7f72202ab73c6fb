// The clipboard of objects. The object set stays in this process, so formats
// only it understands never leave it; its text formats are published on the
// text clipboard (the desktop's once the desktop is installed), where edits
// and other programs read them. Once something else was put there, the object is
// no longer current and the clipboard offers what is there instead: its text,
// and the local files of a URI list (a file manager's copy) as CF_HDROP. Used on
// the GUI thread, as the text clipboard is; objects are let go last, so their
// destructors may use the clipboard again.

#include <cctype>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/win/dataxfer/DataTransfer.h"
#include "platform/win/dataxfer/IncomingData.h"
#include "platform/win/dataxfer/Media.h"
#include "platform/win/dataxfer/TextClipboard.h"
#include "platform/win/dataxfer/UriList.h"

namespace {

struct TObjectClipboard {
    TIntfPtr<IDataObject> current;
    std::optional<String> published; // the text put on the text clipboard for Current
    uint64_t publishedChange = 0;    // the text clipboard's change count after that
};

TObjectClipboard& ObjectClipboard() {
    static TObjectClipboard clipboard;
    return clipboard;
}

std::optional<TBytes> FormatBytes(IDataObject& data, CLIPFORMAT format) {
    const FORMATETC wanted{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL | TYMED_ISTREAM};
    STGMEDIUM medium;
    if (data.GetData(wanted, medium) != S_OK) return std::nullopt;
    std::optional<TBytes> bytes = BytesOfMedium(medium);
    ReleaseStgMedium(&medium);
    return bytes;
}

// 8-bit text up to its terminator.
std::string_view Chars(const TBytes& bytes) {
    const std::string_view chars(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return chars.substr(0, chars.find('\0'));
}

// The object's text, wide if it has it, else from its UTF-8 text; up to the
// first terminator.
std::optional<String> TextOf(IDataObject& data) {
    if (const std::optional<TBytes> wide = FormatBytes(data, CF_UNICODETEXT)) {
        String text(wide->size() / 2, u'\0');
        std::memcpy(text.data(), wide->data(), text.size() * 2);
        return text.substr(0, text.find(u'\0'));
    }
    if (const std::optional<TBytes> narrow = FormatBytes(data, CF_TEXT)) return DecodeCodePage(Chars(*narrow), CP_ACP);
    return std::nullopt;
}

// A decimal number following Key in an "HTML Format" header; nothing when
// missing or beyond Limit.
std::optional<size_t> HeaderNumber(std::string_view header, std::string_view key, size_t limit) {
    const size_t at = header.find(key);
    if (at == std::string_view::npos) return std::nullopt;
    size_t value = 0, i = at + key.size();
    const size_t first = i;
    for (; i < header.size() && std::isdigit(static_cast<unsigned char>(header[i])); ++i) {
        value = value * 10 + size_t(header[i] - '0');
        if (value > limit) return std::nullopt;
    }
    return i > first ? std::optional(value) : std::nullopt;
}

// The HTML document an "HTML Format" block frames (between its StartHTML and
// EndHTML offsets).
std::optional<std::string> HtmlOfBlock(std::string_view block) {
    const std::optional<size_t> start = HeaderNumber(block, "StartHTML:", block.size());
    const std::optional<size_t> end = HeaderNumber(block, "EndHTML:", block.size());
    if (!start || !end || *start > *end) return std::nullopt;
    return std::string(block.substr(*start, *end - *start));
}

// The forms of the object's text other programs read besides plain text.
std::vector<TTextFlavour> FlavoursOf(IDataObject& data) {
    std::vector<TTextFlavour> flavours;
    const auto format = [](const char16_t* name) { return CLIPFORMAT(RegisterClipboardFormatW(name)); };
    if (const std::optional<TBytes> block = FormatBytes(data, format(u"HTML Format")))
        if (std::optional<std::string> html = HtmlOfBlock(Chars(*block)))
            flavours.push_back({"text/html", std::move(*html)});
    if (const std::optional<TBytes> rtf = FormatBytes(data, format(u"Rich Text Format")))
        flavours.push_back({"text/rtf", std::string(Chars(*rtf))});
    if (const std::optional<TBytes> csv = FormatBytes(data, format(u"CSV")))
        flavours.push_back({"text/csv", std::string(Chars(*csv))});
    return flavours;
}

// Returns the text clipboard's change count afterwards.
uint64_t Publish(IDataObject* data, const std::optional<String>& text) {
    if (data)
        TextClipboard().SetFlavours(text, FlavoursOf(*data));
    else
        TextClipboard().Clear();
    return TextClipboard().ChangeCount();
}

// Whether the text clipboard still holds what was published for the current
// object; when it does not, the object goes to Dropped.
bool StillCurrent(TObjectClipboard& clipboard, TIntfPtr<IDataObject>& dropped) {
    if (!clipboard.current) return false;
    ITextClipboard& text = TextClipboard();
    if (text.ChangeCount() == clipboard.publishedChange && text.GetText() == clipboard.published) return true;
    dropped = std::exchange(clipboard.current, nullptr);
    clipboard.published.reset();
    return false;
}

} // namespace

HRESULT OleSetClipboard(IDataObject* data) {
    TObjectClipboard& clipboard = ObjectClipboard();
    TIntfPtr<IDataObject> previous;
    const bool owned = StillCurrent(clipboard, previous);
    previous = std::exchange(clipboard.current, TIntfPtr<IDataObject>(data));
    clipboard.published = data ? TextOf(*data) : std::nullopt;
    // Emptying the clipboard with nothing of ours on it leaves other programs' data alone.
    if (data || owned) clipboard.publishedChange = Publish(data, clipboard.published);
    return S_OK;
}

HRESULT OleGetClipboard(TIntfPtr<IDataObject>& data) {
    TObjectClipboard& clipboard = ObjectClipboard();
    TIntfPtr<IDataObject> dropped;
    if (StillCurrent(clipboard, dropped)) {
        data = clipboard.current;
        return S_OK;
    }
    const std::optional<std::string> uriList = TextClipboard().GetFlavour("text/uri-list");
    data = MakeIncomingDataObject(uriList ? LocalFilesFromUriList(*uriList) : std::vector<String>(),
                                  TextClipboard().GetText());
    return S_OK;
}

// The text was published when the object was set; it is published again as
// the object answers now, and stays after the object is gone.
HRESULT OleFlushClipboard() {
    TObjectClipboard& clipboard = ObjectClipboard();
    TIntfPtr<IDataObject> flushed;
    if (!StillCurrent(clipboard, flushed)) return S_OK;
    flushed = std::exchange(clipboard.current, nullptr);
    clipboard.published.reset();
    Publish(flushed.get(), TextOf(*flushed));
    return S_OK;
}

HRESULT OleIsCurrentClipboard(IDataObject* data) {
    TObjectClipboard& clipboard = ObjectClipboard();
    TIntfPtr<IDataObject> dropped;
    return data && StillCurrent(clipboard, dropped) && clipboard.current.get() == data ? S_OK : S_FALSE;
}
