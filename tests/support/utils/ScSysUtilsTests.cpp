#include "support/utils/ScSysUtils.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

TEST(ScSysUtils, ZeroFillClearsOnlyAPositiveSize) {
    struct Case {
        ptrdiff_t size;
        std::array<uint8_t, 4> after;
    };
    for (const Case c : {Case{3, {0, 0, 0, 0xAA}}, Case{0, {0xAA, 0xAA, 0xAA, 0xAA}}, Case{-1, {0xAA, 0xAA, 0xAA, 0xAA}}}) {
        std::array<uint8_t, 4> buffer;
        buffer.fill(0xAA);
        ZeroFill(buffer.data(), c.size);
        EXPECT_EQ(buffer, c.after) << c.size;
    }
}

TEST(ScSysUtils, GuidToTextIsBracedUpperCaseHex) {
    struct Case {
        TGUID guid;
        const char16_t* text;
    };
    const Case cases[] = {
        {TGUID{}, u"{00000000-0000-0000-0000-000000000000}"},
        {TGUID{0x0123ABCD, 0x4e5f, 0x0a7b, {0xc8, 0xd9, 0x00, 0x01, 0xfe, 0xdc, 0xba, 0x98}},
         u"{0123ABCD-4E5F-0A7B-C8D9-0001FEDCBA98}"},
    };
    for (const Case& c : cases) EXPECT_EQ(GuidToText(c.guid), c.text);
}

} // namespace
