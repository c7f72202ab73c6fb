#include "support/utils/ScBase64.h"

#include "support/utils/SupportUnit.h"

#include <array>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr size_t kLineBytes = 57;
constexpr uint8_t kNoSymbol = 255;

constexpr std::array<uint8_t, 256> MakeDecodeTable() {
    std::array<uint8_t, 256> table{};
    table.fill(kNoSymbol);
    for (uint8_t i = 0; i < 64; ++i) table[static_cast<uint8_t>(kAlphabet[i])] = i;
    return table;
}
constexpr std::array<uint8_t, 256> kDecode = MakeDecodeTable();

// Encodes N (at most one line of) bytes; returns the end of the output.
char* EncodeBase64Tail(const uint8_t* source, size_t n, char* dest) {
    size_t i = 0;
    for (; i + 3 <= n; i += 3) {
        const uint32_t group = uint32_t(source[i]) << 16 | uint32_t(source[i + 1]) << 8 | source[i + 2];
        *dest++ = kAlphabet[group >> 18];
        *dest++ = kAlphabet[group >> 12 & 63];
        *dest++ = kAlphabet[group >> 6 & 63];
        *dest++ = kAlphabet[group & 63];
    }
    if (const size_t rest = n - i; rest > 0) {
        const uint32_t group = uint32_t(source[i]) << 16 | (rest == 2 ? uint32_t(source[i + 1]) << 8 : 0);
        *dest++ = kAlphabet[group >> 18];
        *dest++ = kAlphabet[group >> 12 & 63];
        *dest++ = rest == 2 ? kAlphabet[group >> 6 & 63] : '=';
        *dest++ = '=';
    }
    return dest;
}

// Encodes the complete lines of 57 bytes; returns the end of the output.
char* EncodeBase64Lines(const uint8_t* source, size_t lines, bool moreFollows, char* dest) {
    for (size_t line = 0; line < lines; ++line) {
        dest = EncodeBase64Tail(source + line * kLineBytes, kLineBytes, dest);
        if (line + 1 < lines || moreFollows) {
            *dest++ = '\r';
            *dest++ = '\n';
        }
    }
    return dest;
}

} // namespace

int64_t Base64EncodedSize(int64_t n) { return n > 0 ? (n + 2) / 3 * 4 + (n - 1) / 57 * 2 : n; }

int64_t Base64DecodedSize(int64_t n) { return (n + 3) / 4 * 3; }

void EncodeBase64Block(const uint8_t* source, size_t n, char* dest) {
    const size_t lines = n / kLineBytes, rest = n % kLineBytes;
    dest = EncodeBase64Lines(source, lines, rest > 0, dest);
    EncodeBase64Tail(source + lines * kLineBytes, rest, dest);
}

size_t DecodeBase64Run(const char* source, size_t n, uint8_t* dest, uint32_t& accumulator, int& missing) {
    uint8_t* out = dest;
    for (size_t i = 0; i < n; ++i) {
        const uint8_t value = kDecode[static_cast<uint8_t>(source[i])];
        if (value == kNoSymbol) continue;
        accumulator = accumulator << 6 | value;
        if (--missing > 0) continue;
        *out++ = static_cast<uint8_t>(accumulator >> 16);
        *out++ = static_cast<uint8_t>(accumulator >> 8);
        *out++ = static_cast<uint8_t>(accumulator);
        accumulator = 0;
        missing = 4;
    }
    return static_cast<size_t>(out - dest);
}

size_t DecodeBase64Finish(uint8_t* dest, uint32_t accumulator, int missing) {
    if (missing == 1) {
        dest[0] = static_cast<uint8_t>(accumulator >> 10);
        dest[1] = static_cast<uint8_t>(accumulator >> 2);
        return 2;
    }
    if (missing == 2) {
        dest[0] = static_cast<uint8_t>(accumulator >> 4);
        return 1;
    }
    return 0;
}

std::string EncodeBase64Text(const std::string& bytes) {
    std::string text(static_cast<size_t>(Base64EncodedSize(static_cast<int64_t>(bytes.size()))), '\0');
    EncodeBase64Block(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), text.data());
    return text;
}

std::string DecodeBase64Text(const std::string& text) {
    std::string bytes(static_cast<size_t>(Base64DecodedSize(static_cast<int64_t>(text.size()))), '\0');
    auto* dest = reinterpret_cast<uint8_t*>(bytes.data());
    uint32_t accumulator = 0;
    int missing = 4;
    size_t written = DecodeBase64Run(text.data(), text.size(), dest, accumulator, missing);
    written += DecodeBase64Finish(dest + written, accumulator, missing);
    bytes.resize(written);
    return bytes;
}

extern const TSupportUnit ScBase64Unit{u"ScBase64", SC_UNIT_VERSION("src/support/utils/ScBase64.cpp")};
