#pragma once
// The data formats a tree class can render, kept in priority order, and the
// program's one list of them that the trees' data transfer and their
// ClipboardFormats property consult. A format offered for a class is offered
// for its descendants too.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/StringList.h"
#include "platform/rtl/TObject.h"
#include "platform/win/dataxfer/DataTransfer.h"

struct TClipboardFormatListEntry {
    // The registered name of the format, or a fixed text for a standard one.
    String Description;
    TClass TreeClass = nullptr;
    // Smaller values come first.
    uint32_t Priority = 0;
    FORMATETC FormatEtc;
};

using TFormatEtcArray = std::vector<FORMATETC>;

class TClipboardFormatList {
public:
    // Inserts the entry after those of smaller or equal priority.
    void AddEntry(const String& description, TClass treeClass, uint32_t priority, const FORMATETC& format);
    void ClearEntries() { entries_.clear(); }
    // Formats becomes the formats, in priority order, of every entry for
    // TreeClass or one of its ancestors whose description, when Allowed is
    // given, Allowed holds (as its IndexOf compares).
    void CollectFormats(TClass treeClass, TFormatEtcArray& formats, const TStrings* allowed = nullptr) const;
    // The class of the entry named Description (ignoring case; the highest
    // priority value wins) with its format id in Format; null, and Format
    // untouched, when none is.
    TClass FindByDescription(const String& description, CLIPFORMAT& format) const;
    const std::vector<TClipboardFormatListEntry>& Entries() const noexcept { return entries_; }

private:
    std::vector<TClipboardFormatListEntry> entries_;
};

// The program's list, null until the first registration.
TClipboardFormatList* ClipboardFormatRegistry() noexcept;
void FreeClipboardFormatRegistry();

// Adds Format (media global memory, content aspect, index -1) under its
// registered name (ids from 17) or its standard description (1 to 16); a
// standard id without one adds nothing. Both make the list when there is none.
void RegisterStandardFormat(CLIPFORMAT format, TClass treeClass, uint32_t priority);
// Registers Description with the clipboard and adds it; answers the id.
CLIPFORMAT RegisterNamedFormat(const String& description, TClass treeClass, uint32_t priority,
                               DWORD tymed = TYMED_HGLOBAL, DVTARGETDEVICE* targetDevice = nullptr,
                               DWORD aspect = DVASPECT_CONTENT, LONG index = -1);

// The ids of the formats a tree renders besides the standard text ones.
struct TTreeFormatIds {
    CLIPFORMAT TreeData = 0;
    CLIPFORMAT Html = 0;
    CLIPFORMAT RtfNoObjects = 0;
    CLIPFORMAT Rtf = 0;
    CLIPFORMAT Csv = 0;
};

// The names under which the tree's formats are registered.
inline constexpr char16_t kTreeDataFormatName[] = u"View Tree Data";
inline constexpr char16_t kTreeReferenceFormatName[] = u"View Tree Reference";
inline constexpr char16_t kHtmlFormatName[] = u"HTML Format";
inline constexpr char16_t kRtfNoObjectsFormatName[] = u"Rich Text Format Without Objects";
inline constexpr char16_t kRtfFormatName[] = u"Rich Text Format";
inline constexpr char16_t kCsvFormatName[] = u"CSV";

// Registers the tree data format for every tree (BaseTree) and the HTML, RTF,
// CSV, Unicode and plain text formats for string trees (StringTree), in that
// order of priority.
TTreeFormatIds RegisterTreeClipboardFormats(TClass baseTree, TClass stringTree);
