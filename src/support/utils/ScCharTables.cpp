#include "support/utils/ScCharTables.h"

#include <locale.h>
#include <wctype.h>

#include <array>
#include <memory>

#include "platform/rtl/Exceptions.h"
#include "support/utils/SupportUnit.h"

namespace {

locale_t ClassificationLocale() {
    static const locale_t locale = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        return l ? l : newlocale(LC_CTYPE_MASK, "en_US.UTF-8", static_cast<locale_t>(nullptr));
    }();
    return locale;
}

uint16_t Classify(char16_t c) {
    const locale_t loc = ClassificationLocale();
    const wint_t w = c;
    uint16_t type = 0;
    if (iswupper_l(w, loc)) type |= C1_UPPER;
    if (iswlower_l(w, loc)) type |= C1_LOWER;
    if (iswdigit_l(w, loc)) type |= C1_DIGIT;
    if (iswspace_l(w, loc)) type |= C1_SPACE;
    if (iswpunct_l(w, loc)) type |= C1_PUNCT;
    if (iswcntrl_l(w, loc)) type |= C1_CNTRL;
    if (iswblank_l(w, loc)) type |= C1_BLANK;
    if (iswxdigit_l(w, loc)) type |= C1_XDIGIT;
    if (iswalpha_l(w, loc)) type |= C1_ALPHA;
    return type;
}

template <class Char, size_t N>
struct TCharTables {
    std::array<uint16_t, N> types;
    // Lower, upper and swap-case maps one after another.
    std::array<Char, 3 * N> maps;

    Char SwapCase(size_t c, Char lower, Char upper) const {
        if (types[c] & C1_UPPER) return lower;
        if (types[c] & C1_LOWER) return upper;
        return static_cast<Char>(c);
    }
};

using TWideTables = TCharTables<char16_t, 0x10000>;
using TAnsiTables = TCharTables<uint8_t, 0x100>;

const TWideTables& Wide() {
    static const std::unique_ptr<const TWideTables> tables = [] {
        auto t = std::make_unique<TWideTables>();
        for (size_t c = 0; c < 0x10000; ++c) {
            const char16_t ch = static_cast<char16_t>(c);
            t->types[c] = Classify(ch);
            const char16_t lower = CharLower(ch), upper = CharUpper(ch);
            t->maps[CaseMapLower + c] = lower;
            t->maps[CaseMapUpper + c] = upper;
            t->maps[CaseMapSwap + c] = t->SwapCase(c, lower, upper);
        }
        return t;
    }();
    return *tables;
}

const TAnsiTables& Ansi() {
    static const TAnsiTables tables = [] {
        TAnsiTables t{};
        for (size_t c = 0; c < 0x100; ++c) {
            const bool single = c < 0x80;
            const char16_t ch = static_cast<char16_t>(c);
            t.types[c] = single ? Classify(ch) : 0;
            const uint8_t lower = single ? static_cast<uint8_t>(CharLower(ch)) : static_cast<uint8_t>(c);
            const uint8_t upper = single ? static_cast<uint8_t>(CharUpper(ch)) : static_cast<uint8_t>(c);
            t.maps[c] = lower;
            t.maps[0x100 + c] = upper;
            t.maps[0x200 + c] = t.SwapCase(c, lower, upper);
        }
        return t;
    }();
    return tables;
}

} // namespace

uint16_t AnsiCharType(uint8_t c) { return Ansi().types[c]; }
bool AnsiIsLower(uint8_t c) { return (Ansi().types[c] & C1_LOWER) != 0; }
bool AnsiIsUpper(uint8_t c) { return (Ansi().types[c] & C1_UPPER) != 0; }
uint8_t AnsiLowerChar(uint8_t c) { return Ansi().maps[c]; }
uint8_t AnsiUpperChar(uint8_t c) { return Ansi().maps[0x100 + c]; }
uint8_t AnsiSwapCaseChar(uint8_t c) { return Ansi().maps[0x200 + c]; }

uint16_t WideCharType(char16_t c) { return Wide().types[c]; }
bool IsLowerChar(char16_t c) { return (Wide().types[c] & C1_LOWER) != 0; }
bool IsUpperChar(char16_t c) { return (Wide().types[c] & C1_UPPER) != 0; }

bool IsHexChar(char16_t c) {
    return (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f') || (Wide().types[c] & C1_DIGIT) != 0;
}

char16_t LowerChar(char16_t c) { return Wide().maps[CaseMapLower + c]; }
char16_t UpperChar(char16_t c) { return Wide().maps[CaseMapUpper + c]; }

void MapCaseInPlace(String& s, int offset) {
    RTL_ASSERT(offset == CaseMapLower || offset == CaseMapUpper || offset == CaseMapSwap, "Unknown case map");
    const char16_t* map = Wide().maps.data() + offset;
    for (char16_t& c : s) c = map[c];
}

void StartScCharTables() {
    Ansi();
    Wide();
}

void FinishScCharTables() {}

extern const TSupportUnit ScAnsiStringsUnit{u"ScAnsiStrings", SC_UNIT_VERSION("src/support/utils/ScCharTables.cpp"), {}, StartScCharTables, FinishScCharTables};
