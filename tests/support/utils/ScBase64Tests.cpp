#include "support/utils/ScBase64.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TEST(ScBase64, LinesHoldFiftySevenBytesWithoutATrailingBreak) {
    struct Case {
        size_t bytes;
        size_t chars;
        size_t breaks;
    };
    for (const Case c : {Case{57, 76, 0}, Case{58, 82, 1}, Case{114, 154, 1}, Case{115, 160, 2}}) {
        const std::string text = EncodeBase64Text(std::string(c.bytes, 'z'));
        EXPECT_EQ(text.size(), c.chars) << c.bytes;
        EXPECT_EQ(Base64EncodedSize(int64_t(c.bytes)), int64_t(c.chars));
        size_t breaks = 0;
        for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) {
            EXPECT_EQ(at % 78, 76u) << c.bytes;
            ++breaks;
        }
        EXPECT_EQ(breaks, c.breaks) << c.bytes;
        EXPECT_NE(text.back(), '\n');
    }
}

TEST(ScBase64, LeftOverBytesArePadded) {
    EXPECT_EQ(EncodeBase64Text(""), "");
    EXPECT_EQ(EncodeBase64Text("M"), "TQ==");
    EXPECT_EQ(EncodeBase64Text("Ma"), "TWE=");
    EXPECT_EQ(EncodeBase64Text("Man"), "TWFu");
    EXPECT_EQ(EncodeBase64Text(std::string("\xFB\xFF", 2)), "+/8=");
    EXPECT_EQ(Base64EncodedSize(0), 0);
    EXPECT_EQ(Base64DecodedSize(4), 3);
}

TEST(ScBase64, DecodingSkipsEverythingButSymbols) {
    EXPECT_EQ(DecodeBase64Text(""), "");
    EXPECT_EQ(DecodeBase64Text("TW Fu\r\nTQ=="), "ManM");
    EXPECT_EQ(DecodeBase64Text("T=W=E"), "Ma");
    EXPECT_EQ(DecodeBase64Text("TWFuT"), "Man"); // a stray last symbol gives nothing
    EXPECT_EQ(DecodeBase64Text("*!?"), "");
}

TEST(ScBase64, DecodingRunsKeepTheirStateAcrossCalls) {
    uint8_t out[8];
    uint32_t accumulator = 0;
    int missing = 4;
    size_t n = DecodeBase64Run("TW", 2, out, accumulator, missing);
    n += DecodeBase64Run("FuTW", 4, out + n, accumulator, missing);
    EXPECT_EQ(missing, 2);
    n += DecodeBase64Finish(out + n, accumulator, missing);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), n), "ManM");
}

TEST(ScBase64, RandomBytesRoundTrip) {
    std::mt19937 random(1234);
    for (size_t size : {1u, 2u, 3u, 56u, 57u, 58u, 300u, 4096u}) {
        std::string bytes(size, '\0');
        for (char& b : bytes) b = static_cast<char>(random());
        const std::string text = EncodeBase64Text(bytes);
        EXPECT_EQ(DecodeBase64Text(text), bytes) << size;
        EXPECT_LE(int64_t(size), Base64DecodedSize(int64_t(text.size())));
    }
}

} // namespace
