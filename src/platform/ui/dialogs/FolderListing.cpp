#include "platform/ui/dialogs/FolderListing.h"

#include <algorithm>

#include "platform/rtl/Files.h"

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

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

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

int CompareFileNames(const String& a, const String& b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            // Leading zeros do not count; the longer run of significant digits is larger.
            size_t si = i, sj = j;
            while (si < a.size() && a[si] == u'0') ++si;
            while (sj < b.size() && b[sj] == u'0') ++sj;
            size_t ei = si, ej = sj;
            while (ei < a.size() && IsDigit(a[ei])) ++ei;
            while (ej < b.size() && IsDigit(b[ej])) ++ej;
            if (ei - si != ej - sj) return ei - si < ej - sj ? -1 : 1;
            for (size_t k = 0; k < ei - si; ++k)
                if (a[si + k] != b[sj + k]) return a[si + k] < b[sj + k] ? -1 : 1;
            if (ei - i != ej - j) return ei - i < ej - j ? -1 : 1; // "01" after "1"
            i = ei;
            j = ej;
            continue;
        }
        const char16_t ca = CharLower(a[i]), cb = CharLower(b[j]);
        if (ca != cb) return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size()) return i < a.size() ? 1 : -1;
    // Equal but for case: a fixed order all the same.
    return a < b ? -1 : b < a ? 1 : 0;
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
