#include "support/utils/ScStrings.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/StringList.h"
#include "support/utils/ScCharTables.h"
#include "support/utils/SupportUnit.h"

namespace {

// Position of Sub in S at or after the 0-based From, comparing upper-case forms.
String::size_type FindUpper(const String& sub, const String& s, String::size_type from) {
    if (sub.empty() || sub.size() > s.size()) return String::npos;
    const String key = UpperCopy(sub);
    for (String::size_type i = from; i + key.size() <= s.size(); ++i) {
        String::size_type k = 0;
        while (k < key.size() && UpperChar(s[i + k]) == key[k]) ++k;
        if (k == key.size()) return i;
    }
    return String::npos;
}

} // namespace

String DropPrefix(const String& prefix, const String& s) {
    return s.starts_with(prefix) ? s.substr(prefix.size()) : s;
}

String DropSuffix(const String& suffix, const String& s) {
    return s.ends_with(suffix) ? s.substr(0, s.size() - suffix.size()) : s;
}

String EnsureSuffix(const String& suffix, const String& s) { return s.ends_with(suffix) ? s : s + suffix; }

String LeftPart(const String& s, int n) { return n <= 0 ? String() : s.substr(0, static_cast<size_t>(n)); }

String MidPart(const String& s, int index, int count) { return Copy(s, index, count); }

String RestFrom(const String& s, int index) { return Copy(s, index); }

int CharPosFrom(const String& s, char16_t c, int index) {
    if (index <= 0 || index > s.Length()) return 0;
    const auto at = s.find(c, static_cast<size_t>(index - 1));
    return at == String::npos ? 0 : static_cast<int>(at) + 1;
}

int LastCharPos(const String& s, char16_t c, int index) {
    if (index <= 0 || index > s.Length()) return 0;
    const auto at = s.rfind(c);
    return at == String::npos || static_cast<int>(at) + 1 < index ? 0 : static_cast<int>(at) + 1;
}

int FindText(const String& sub, const String& s) { return FindTextFrom(sub, s, 1); }

int FindTextFrom(const String& sub, const String& s, int index) {
    const int from = std::max(index, 1);
    if (from > s.Length()) return 0;
    const auto at = FindUpper(sub, s, static_cast<size_t>(from - 1));
    return at == String::npos ? 0 : static_cast<int>(at) + 1;
}

String TextBefore(const String& sub, const String& s) {
    const auto at = FindUpper(sub, s, 0);
    return at == String::npos ? s : s.substr(0, at);
}

int CompareRange(const String& s1, const String& s2, int index, int count, bool caseSensitive) {
    if (&s1 == &s2) return count > 0 || s1.empty() ? 0 : -2;
    if (s1.empty() != s2.empty()) return -1;
    if (count <= 0 || index < 1) return -2;
    if (static_cast<int64_t>(s1.Length()) < static_cast<int64_t>(index) - 1 + count) return -2;
    const int available = std::max(s2.Length() - (index - 1), 0);
    count = std::min(count, available);
    for (int i = index - 1; i < index - 1 + count; ++i) {
        const char16_t a = s1[static_cast<size_t>(i)], b = s2[static_cast<size_t>(i)];
        if (a == b) continue;
        if (caseSensitive) return a - b;
        const char16_t la = LowerChar(a), lb = LowerChar(b);
        if (la != lb) return la - lb;
    }
    return 0;
}

String ReplaceChar(const String& s, char16_t oldChar, char16_t newChar) {
    String result = s;
    std::replace(result.begin(), result.end(), oldChar, newChar);
    return result;
}

String UpperCopy(const String& s) {
    String result = s;
    UpperInPlace(result);
    return result;
}

void UpperInPlace(String& s) { MapCaseInPlace(s, CaseMapUpper); }

void TruncateAtNul(String& s) {
    const auto at = s.find(u'\0');
    if (at != String::npos) s.resize(at);
}

void ReplaceSubstring(String& s, const String& search, const String& replace, TReplaceFlags flags) {
    if (search.empty()) {
        if (!s.empty()) throw EScStringError(LoadResString(SSearchStringBlank));
        s = replace;
        return;
    }
    if (s.empty()) return;
    const String key = flags.IgnoreCase ? UpperCopy(search) : search;
    auto fold = [&](char16_t c) { return flags.IgnoreCase ? UpperChar(c) : c; };
    String result;
    result.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        if (fold(s[i]) != key[0]) {
            result += s[i++];
            continue;
        }
        size_t k = 1;
        while (k < key.size() && i + k < s.size() && fold(s[i + k]) == key[k]) ++k;
        if (k < key.size()) {
            result += s[i++];
            continue;
        }
        result += replace;
        i += key.size();
        if (!flags.ReplaceAll) {
            result.append(std::u16string_view(s).substr(i));
            break;
        }
    }
    s = std::move(result);
}

void SplitToList(const String& s, const String& separator, TStrings* list, bool allowEmpty) {
    RTL_ASSERT(list);
    list->Updating([&] {
        list->Clear();
        if (separator.empty()) {
            if (!s.empty()) list->Add(s);
            return;
        }
        size_t start = 0;
        for (auto at = s.find(separator); at != String::npos; at = s.find(separator, start)) {
            if (at > start || allowEmpty) list->Add(s.substr(start, at - start));
            start = at + separator.size();
        }
        if (start < s.size()) list->Add(s.substr(start));
    });
}

void MoveWideChars(const char16_t* source, char16_t* dest, int n) {
    if (n > 0) std::memmove(dest, source, static_cast<size_t>(n) * sizeof(char16_t));
}

void StartScStrings() { RegisterResStrings({&SSearchStringBlank, &SArgumentOutOfRange}); }

void FinishScStrings() { UnregisterResStrings({&SSearchStringBlank, &SArgumentOutOfRange}); }

extern const TSupportUnit ScStringsUnit{u"ScStrings", SC_UNIT_VERSION("src/support/utils/ScStrings.cpp"), {}, StartScStrings, FinishScStrings};
