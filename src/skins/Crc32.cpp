#include "skins/Crc32.h"

#include <array>

namespace {

// Bit 31 - e for each exponent e of the generator polynomial.
constexpr uint32_t ReflectedCrcPolynomial() {
    uint32_t polynomial = 0;
    for (const int exponent : {0, 1, 2, 4, 5, 7, 8, 10, 11, 12, 16, 22, 23, 26}) polynomial |= 1u << (31 - exponent);
    return polynomial;
}

using TCrcTables = std::array<std::array<uint32_t, 256>, 8>;

// Table 0 is the byte-wise table; table k advances a byte by k further zero bytes,
// so eight bytes are folded in with eight look-ups.
constexpr TCrcTables BuildCrcTables() {
    TCrcTables tables{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = c & 1 ? ReflectedCrcPolynomial() ^ (c >> 1) : c >> 1;
        tables[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n)
        for (size_t k = 1; k < 8; ++k) tables[k][n] = (tables[k - 1][n] >> 8) ^ tables[0][tables[k - 1][n] & 0xFF];
    return tables;
}

constexpr TCrcTables kCrcTables = BuildCrcTables();
static_assert(ReflectedCrcPolynomial() == 0xEDB88320u);

} // namespace

uint32_t UpdateCrc32(uint32_t crc, const void* data, size_t size) noexcept {
    if (!data) return 0;
    const auto* p = static_cast<const uint8_t*>(data);
    uint32_t c = ~crc;
    for (; size >= 8; size -= 8, p += 8) {
        const uint32_t low = c ^ (uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
        const uint32_t high = uint32_t(p[4]) | uint32_t(p[5]) << 8 | uint32_t(p[6]) << 16 | uint32_t(p[7]) << 24;
        c = kCrcTables[7][low & 0xFF] ^ kCrcTables[6][(low >> 8) & 0xFF] ^ kCrcTables[5][(low >> 16) & 0xFF] ^
            kCrcTables[4][low >> 24] ^ kCrcTables[3][high & 0xFF] ^ kCrcTables[2][(high >> 8) & 0xFF] ^
            kCrcTables[1][(high >> 16) & 0xFF] ^ kCrcTables[0][high >> 24];
    }
    for (; size; --size, ++p) c = kCrcTables[0][(c ^ *p) & 0xFF] ^ (c >> 8);
    return ~c;
}
