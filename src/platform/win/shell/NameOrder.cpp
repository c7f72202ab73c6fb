#include "platform/win/shell/NameOrder.h"

#include <atomic>

namespace {

std::atomic<INameCollation*> InstalledCollation{nullptr};

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

} // namespace

INameCollation* NameCollation() { return InstalledCollation.load(); }

INameCollation* SetNameCollation(INameCollation* collation) { return InstalledCollation.exchange(collation); }

int CompareNamesByCodeUnits(const String& a, const String& b) {
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
    return 0;
}

int CompareFileNames(const String& a, const String& b) {
    const INameCollation* collation = NameCollation();
    if (const int order = collation ? collation->Compare(a, b) : CompareNamesByCodeUnits(a, b)) return order;
    return a < b ? -1 : b < a ? 1 : 0;
}
