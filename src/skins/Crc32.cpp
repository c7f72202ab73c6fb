#include "skins/Crc32.h"

#include <array>

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>
#include <wmmintrin.h>
#define OSTREL_CRC32_FOLDING 1
#endif

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

// The register C (not inverted) over Size bytes.
uint32_t CrcRegisterByTables(uint32_t c, const uint8_t* p, size_t size) noexcept {
    for (; size >= 8; size -= 8, p += 8) {
        const uint32_t low = c ^ (uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
        const uint32_t high = uint32_t(p[4]) | uint32_t(p[5]) << 8 | uint32_t(p[6]) << 16 | uint32_t(p[7]) << 24;
        c = kCrcTables[7][low & 0xFF] ^ kCrcTables[6][(low >> 8) & 0xFF] ^ kCrcTables[5][(low >> 16) & 0xFF] ^
            kCrcTables[4][low >> 24] ^ kCrcTables[3][high & 0xFF] ^ kCrcTables[2][(high >> 8) & 0xFF] ^
            kCrcTables[1][(high >> 16) & 0xFF] ^ kCrcTables[0][high >> 24];
    }
    for (; size; --size, ++p) c = kCrcTables[0][(c ^ *p) & 0xFF] ^ (c >> 8);
    return c;
}

#ifdef OSTREL_CRC32_FOLDING

// Folding by carry-less multiplication: a 128-bit lane of the message times
// x^n mod P moves it n bits on, so four lanes walk the data 64 bytes per step
// and are then folded into one, reduced to 64 and 32 bits, and brought to the
// 32-bit register by a Barrett reduction. The constants are the bit-reflected
// remainders x^(512+32), x^(512-32), x^(128+32), x^(128-32) and x^64 mod P,
// then P itself and floor(x^64 / P).
constexpr int64_t kFold512High = 0x1C6E41596, kFold512Low = 0x154442BD4;
constexpr int64_t kFold128High = 0x0CCAA009E, kFold128Low = 0x1751997D0;
constexpr int64_t kFold64 = 0x163CD6124;
constexpr int64_t kBarrettQuotient = 0x1F7011641, kBarrettPolynomial = 0x1DB710641;

__attribute__((target("pclmul"))) __m128i FoldLane(__m128i lane, __m128i constants, __m128i next) noexcept {
    const __m128i low = _mm_clmulepi64_si128(lane, constants, 0x00), high = _mm_clmulepi64_si128(lane, constants, 0x11);
    return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

__m128i LoadLane(const uint8_t* p) noexcept { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

// The register C over Size bytes, Size at least 64 and a multiple of 16.
__attribute__((target("pclmul"))) uint32_t CrcRegisterByFolding(uint32_t c, const uint8_t* p, size_t size) noexcept {
    const __m128i by512 = _mm_set_epi64x(kFold512High, kFold512Low), by128 = _mm_set_epi64x(kFold128High, kFold128Low);
    __m128i x0 = _mm_xor_si128(LoadLane(p), _mm_cvtsi32_si128(int(c))), x1 = LoadLane(p + 16),
            x2 = LoadLane(p + 32), x3 = LoadLane(p + 48);
    for (p += 64, size -= 64; size >= 64; p += 64, size -= 64) {
        x0 = FoldLane(x0, by512, LoadLane(p));
        x1 = FoldLane(x1, by512, LoadLane(p + 16));
        x2 = FoldLane(x2, by512, LoadLane(p + 32));
        x3 = FoldLane(x3, by512, LoadLane(p + 48));
    }
    x0 = FoldLane(FoldLane(FoldLane(x0, by128, x1), by128, x2), by128, x3);
    for (; size >= 16; p += 16, size -= 16) x0 = FoldLane(x0, by128, LoadLane(p));

    const __m128i low32 = _mm_set_epi32(0, 0, 0, -1);
    x0 = _mm_xor_si128(_mm_clmulepi64_si128(x0, by128, 0x10), _mm_srli_si128(x0, 8));
    x0 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x0, low32), _mm_set_epi64x(0, kFold64), 0x00),
                       _mm_srli_si128(x0, 4));
    const __m128i barrett = _mm_set_epi64x(kBarrettQuotient, kBarrettPolynomial);
    __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x0, low32), barrett, 0x10);
    t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), barrett, 0x00);
    return uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(_mm_xor_si128(x0, t), 4)));
}

#endif

} // namespace

uint32_t UpdateCrc32ByTables(uint32_t crc, const void* data, size_t size) noexcept {
    if (!data) return 0;
    return ~CrcRegisterByTables(~crc, static_cast<const uint8_t*>(data), size);
}

uint32_t UpdateCrc32(uint32_t crc, const void* data, size_t size) noexcept {
    if (!data) return 0;
    const auto* p = static_cast<const uint8_t*>(data);
    uint32_t c = ~crc;
#ifdef OSTREL_CRC32_FOLDING
    if (size >= 64 && __builtin_cpu_supports("pclmul")) {
        const size_t folded = size & ~size_t(15);
        c = CrcRegisterByFolding(c, p, folded);
        p += folded;
        size -= folded;
    }
#endif
    return ~CrcRegisterByTables(c, p, size);
}
