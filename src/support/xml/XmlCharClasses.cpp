#include "support/xml/XmlCharClasses.h"

#include <array>
#include <cstddef>

namespace {

struct TRun {
    uint8_t classes;
    int count;
};

constexpr TRun kRuns[] = {
#include "support/xml/XmlCharClasses.inc"
};

constexpr std::array<uint8_t, 65536> BuildTable() {
    std::array<uint8_t, 65536> table{};
    std::size_t at = 0;
    for (const TRun& run : kRuns)
        for (int i = 0; i < run.count && at < table.size(); ++i) table[at++] = run.classes;
    return table;
}

constexpr std::array<uint8_t, 65536> kTable = BuildTable();

}  // namespace

uint8_t xmlchars::ClassesOf(char16_t c) noexcept { return kTable[c]; }

String TrimXmlSpace(const String& s) {
    size_t first = 0, last = s.size();
    while (first < last && IsXmlSpace(s[first])) ++first;
    while (last > first && IsXmlSpace(s[last - 1])) --last;
    return first == 0 && last == s.size() ? s : s.substr(first, last - first);
}
