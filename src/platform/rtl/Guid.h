#pragma once
// TGUID: a 128-bit interface or class identifier. Interfaces declare theirs
// with a literal in the usual braced form, checked at compile time:
//   static constexpr TGUID IID = TGUID::Parse("{00000000-0000-0000-C000-000000000046}");

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/rtl/String.h"

struct TGUID {
    uint32_t D1 = 0;
    uint16_t D2 = 0;
    uint16_t D3 = 0;
    uint8_t D4[8] = {};

    friend constexpr bool operator==(const TGUID& a, const TGUID& b) noexcept {
        if (a.D1 != b.D1 || a.D2 != b.D2 || a.D3 != b.D3) return false;
        for (int i = 0; i < 8; ++i)
            if (a.D4[i] != b.D4[i]) return false;
        return true;
    }

private:
    // Defined before its use so that clang can evaluate it in constant expressions.
    template <class Char>
    static constexpr int HexValue(Char c) noexcept {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    }

public:
    // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", hex digits in either case.
    template <class Char>
    static constexpr std::optional<TGUID> TryParse(std::basic_string_view<Char> s) noexcept {
        if (s.size() != 38 || s[0] != '{' || s[37] != '}') return std::nullopt;
        // Offsets of the 16 bytes inside the text.
        constexpr int at[16] = {1, 3, 5, 7, 10, 12, 15, 17, 20, 22, 25, 27, 29, 31, 33, 35};
        for (int dash : {9, 14, 19, 24})
            if (s[dash] != '-') return std::nullopt;
        uint8_t bytes[16] = {};
        for (int i = 0; i < 16; ++i) {
            const int hi = HexValue(s[at[i]]), lo = HexValue(s[at[i] + 1]);
            if (hi < 0 || lo < 0) return std::nullopt;
            bytes[i] = static_cast<uint8_t>(hi * 16 + lo);
        }
        TGUID g;
        g.D1 = uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
        g.D2 = static_cast<uint16_t>(bytes[4] << 8 | bytes[5]);
        g.D3 = static_cast<uint16_t>(bytes[6] << 8 | bytes[7]);
        for (int i = 0; i < 8; ++i) g.D4[i] = bytes[8 + i];
        return g;
    }

    // For literals: a malformed text fails to compile when used in a constant expression.
    static consteval TGUID Parse(const char* literal) {
        const auto g = TryParse(std::string_view(literal));
        if (!g) throw "malformed GUID literal";
        return *g;
    }
};

inline constexpr TGUID GUID_NULL{};

inline bool IsEqualGUID(const TGUID& a, const TGUID& b) noexcept { return a == b; }
// Upper-case braced form.
String GUIDToString(const TGUID& guid);
// Raises EConvertError "'%s' is not a valid GUID value" for malformed text.
TGUID StringToGUID(const String& s);
// A new random (version 4) identifier.
TGUID CreateGUID();
