#include "platform/ui/dialogs/FolderListing.h"

#include <algorithm>

#include "platform/rtl/Files.h"
#include "platform/win/shell/NameOrder.h"

namespace {

String Trimmed(const String& s) {
    size_t first = 0, last = s.size();
    while (first < last && s[first] == u' ') ++first;
    while (last > first && s[last - 1] == u' ') --last;
    return String(s.data() + first, last - first);
}

std::vector<String> Split(const String& s, char16_t separator) {
    std::vector<String> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = s.find(separator, start);
        parts.emplace_back(s.data() + start, (end == String::npos ? s.size() : end) - start);
        if (end == String::npos) return parts;
        start = end + 1;
    }
}

} // namespace

std::vector<TFileFilter> ParseFileFilter(const String& filter) {
    std::vector<TFileFilter> result;
    if (filter.IsEmpty()) return result;
    const std::vector<String> parts = Split(filter, u'|');
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        TFileFilter choice{parts[i], {}};
        for (const String& mask : Split(parts[i + 1], u';')) {
            const String trimmed = Trimmed(mask);
            if (!trimmed.IsEmpty()) choice.masks.push_back(trimmed);
        }
        result.push_back(std::move(choice));
    }
    return result;
}

bool MatchesFileFilter(const String& name, const std::vector<String>& masks) {
    if (masks.empty()) return true;
    return std::any_of(masks.begin(), masks.end(), [&](const String& mask) { return MatchesMask(name, mask); });
}

std::vector<TFolderEntry> ReadFolder(const String& folder) {
    std::vector<TFolderEntry> entries;
    TSearchRec found;
    if (FindFirst(IncludeTrailingPathDelimiter(folder) + "*", faAnyFile & ~faHidden, found) == 0) {
        do {
            entries.push_back({found.Name, (found.Attr & faDirectory) != 0, found.Size, found.Time});
        } while (FindNext(found) == 0);
    }
    FindClose(found);
    std::sort(entries.begin(), entries.end(), [](const TFolderEntry& x, const TFolderEntry& y) {
        if (x.folder != y.folder) return x.folder;
        return CompareFileNames(x.name, y.name) < 0;
    });
    return entries;
}

std::vector<const TFolderEntry*> FilterFolder(const std::vector<TFolderEntry>& entries,
                                              const std::vector<String>& masks) {
    std::vector<const TFolderEntry*> shown;
    shown.reserve(entries.size());
    for (const TFolderEntry& entry : entries)
        if (entry.folder || MatchesFileFilter(entry.name, masks)) shown.push_back(&entry);
    return shown;
}
