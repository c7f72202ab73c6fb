#include "treeview/TreeClipboardFormats.h"

#include <algorithm>
#include <array>

#include "platform/rtl/ClassInfo.h"

namespace {

std::unique_ptr<TClipboardFormatList>& FormatRegistrySlot() {
    static std::unique_ptr<TClipboardFormatList> registry;
    return registry;
}

TClipboardFormatList& FormatRegistry() {
    auto& registry = FormatRegistrySlot();
    if (!registry) registry = std::make_unique<TClipboardFormatList>();
    return *registry;
}

// Descriptions of the predefined formats 1 to 16, by id - 1.
constexpr std::array<const char16_t*, 16> kStandardFormatDescriptions = {
    u"Plain text", u"Windows bitmap", u"Windows metafile", u"Symbolic link",
    u"Data interchange format", u"Tiff image", u"OEM text", u"DIB image",
    u"Palette data", u"Pen data", u"Riff audio data", u"Wav audio data",
    u"Unicode text", u"Enhanced metafile image", u"File name(s)", u"Locale descriptor",
};

constexpr CLIPFORMAT kFirstNamedFormatId = 17;
// The longest registered name read back, with its terminating zero.
constexpr int kFormatNameBufferLength = 2049;

} // namespace

void TClipboardFormatList::AddEntry(const String& description, TClass treeClass, uint32_t priority,
                                    const FORMATETC& format) {
    const auto at = std::upper_bound(entries_.begin(), entries_.end(), priority,
                                     [](uint32_t p, const TClipboardFormatListEntry& e) { return p < e.Priority; });
    entries_.insert(at, TClipboardFormatListEntry{description, treeClass, priority, format});
}

void TClipboardFormatList::CollectFormats(TClass treeClass, TFormatEtcArray& formats,
                                          const TStrings* allowed) const {
    formats.clear();
    for (const auto& entry : entries_) {
        if (!treeClass || !treeClass->InheritsFrom(entry.TreeClass)) continue;
        if (allowed && allowed->IndexOf(entry.Description) < 0) continue;
        formats.push_back(entry.FormatEtc);
    }
}

TClass TClipboardFormatList::FindByDescription(const String& description, CLIPFORMAT& format) const {
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry)
        if (AnsiSameText(entry->Description, description)) {
            format = entry->FormatEtc.cfFormat;
            return entry->TreeClass;
        }
    return nullptr;
}

TClipboardFormatList* ClipboardFormatRegistry() noexcept { return FormatRegistrySlot().get(); }

void FreeClipboardFormatRegistry() { FormatRegistrySlot().reset(); }

void RegisterStandardFormat(CLIPFORMAT format, TClass treeClass, uint32_t priority) {
    TClipboardFormatList& registry = FormatRegistry();
    const FORMATETC formatEtc{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    if (format >= kFirstNamedFormatId) {
        WCHAR name[kFormatNameBufferLength] = {};
        GetClipboardFormatNameW(format, name, kFormatNameBufferLength);
        registry.AddEntry(String(name), treeClass, priority, formatEtc);
    } else if (format >= 1) {
        registry.AddEntry(kStandardFormatDescriptions[format - 1], treeClass, priority, formatEtc);
    }
}

CLIPFORMAT RegisterNamedFormat(const String& description, TClass treeClass, uint32_t priority, DWORD tymed,
                               DVTARGETDEVICE* targetDevice, DWORD aspect, LONG index) {
    const auto format = CLIPFORMAT(RegisterClipboardFormatW(description.c_str()));
    FormatRegistry().AddEntry(description, treeClass, priority, FORMATETC{format, targetDevice, aspect, index, tymed});
    return format;
}

TTreeFormatIds RegisterTreeClipboardFormats(TClass baseTree, TClass stringTree) {
    TTreeFormatIds ids;
    ids.TreeData = RegisterNamedFormat(kTreeDataFormatName, baseTree, 50);
    ids.Html = RegisterNamedFormat(kHtmlFormatName, stringTree, 80);
    ids.RtfNoObjects = RegisterNamedFormat(kRtfNoObjectsFormatName, stringTree, 84);
    ids.Rtf = RegisterNamedFormat(kRtfFormatName, stringTree, 85);
    ids.Csv = RegisterNamedFormat(kCsvFormatName, stringTree, 90);
    RegisterStandardFormat(CF_UNICODETEXT, stringTree, 95);
    RegisterStandardFormat(CF_TEXT, stringTree, 100);
    return ids;
}
