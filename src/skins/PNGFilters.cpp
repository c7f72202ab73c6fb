#include "skins/PNGFilters.h"

#include <cstdlib>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

uint8_t PaethPredict(uint8_t a, uint8_t b, uint8_t c) noexcept {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

namespace {

void UnfilterUp(uint8_t* row, const uint8_t* prior, size_t size) noexcept {
    for (size_t i = 0; i < size; ++i) row[i] = uint8_t(row[i] + prior[i]);
}

#ifdef __SSE2__

// One pixel of Bpp bytes, widened to 16-bit lanes.
template <size_t Bpp>
__m128i LoadPixel(const uint8_t* p) noexcept {
    uint64_t bytes = 0;
    std::memcpy(&bytes, p, Bpp);
    return _mm_unpacklo_epi8(_mm_cvtsi64_si128(int64_t(bytes)), _mm_setzero_si128());
}

template <size_t Bpp>
void StorePixel(uint8_t* p, __m128i lanes) noexcept {
    const auto bytes = uint64_t(_mm_cvtsi128_si64(_mm_packus_epi16(lanes, lanes)));
    std::memcpy(p, &bytes, Bpp);
}

__m128i Abs16(__m128i x) noexcept { return _mm_max_epi16(x, _mm_sub_epi16(_mm_setzero_si128(), x)); }
__m128i Select(__m128i condition, __m128i yes, __m128i no) noexcept {
    return _mm_or_si128(_mm_and_si128(condition, yes), _mm_andnot_si128(condition, no));
}
const __m128i kLowBytes = _mm_set1_epi16(0xFF);

// Each filter walks the row a pixel at a time, the pixel's bytes side by side.
template <size_t Bpp>
void UnfilterSub(uint8_t* row, size_t size) noexcept {
    __m128i left = _mm_setzero_si128();
    for (size_t x = 0; x < size; x += Bpp) {
        left = _mm_and_si128(_mm_add_epi16(LoadPixel<Bpp>(row + x), left), kLowBytes);
        StorePixel<Bpp>(row + x, left);
    }
}

template <size_t Bpp>
void UnfilterAverage(uint8_t* row, const uint8_t* prior, size_t size) noexcept {
    __m128i left = _mm_setzero_si128();
    for (size_t x = 0; x < size; x += Bpp) {
        const __m128i average = _mm_srli_epi16(_mm_add_epi16(left, LoadPixel<Bpp>(prior + x)), 1);
        left = _mm_and_si128(_mm_add_epi16(LoadPixel<Bpp>(row + x), average), kLowBytes);
        StorePixel<Bpp>(row + x, left);
    }
}

template <size_t Bpp>
void UnfilterPaeth(uint8_t* row, const uint8_t* prior, size_t size) noexcept {
    __m128i a = _mm_setzero_si128(), c = _mm_setzero_si128();
    for (size_t x = 0; x < size; x += Bpp) {
        const __m128i b = LoadPixel<Bpp>(prior + x);
        // With p = a + b - c: |p - a| = |b - c|, |p - b| = |a - c|, |p - c| = |a + b - 2c|.
        const __m128i toA = _mm_sub_epi16(b, c), toB = _mm_sub_epi16(a, c);
        const __m128i pc = Abs16(_mm_add_epi16(toA, toB)), pa = Abs16(toA), pb = Abs16(toB);
        const __m128i smallest = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
        __m128i nearest = Select(_mm_cmpeq_epi16(smallest, pc), c, b);
        nearest = Select(_mm_cmpeq_epi16(smallest, pb), b, nearest);
        nearest = Select(_mm_cmpeq_epi16(smallest, pa), a, nearest);
        a = _mm_and_si128(_mm_add_epi16(LoadPixel<Bpp>(row + x), nearest), kLowBytes);
        StorePixel<Bpp>(row + x, a);
        c = b;
    }
}

template <size_t Bpp>
void UnfilterWith(uint8_t filter, uint8_t* row, const uint8_t* prior, size_t size) noexcept {
    // Rows hold whole pixels; a row cut short by a malformed size keeps its last partial pixel as it is.
    const size_t whole = size / Bpp * Bpp;
    switch (filter) {
    case 1: UnfilterSub<Bpp>(row, whole); break;
    case 3: UnfilterAverage<Bpp>(row, prior, whole); break;
    case 4: UnfilterPaeth<Bpp>(row, prior, whole); break;
    default: return;
    }
    for (size_t x = whole; x < size; ++x) {
        const uint8_t left = x >= Bpp ? row[x - Bpp] : 0, upperLeft = x >= Bpp ? prior[x - Bpp] : 0;
        if (filter == 1) row[x] = uint8_t(row[x] + left);
        else if (filter == 3) row[x] = uint8_t(row[x] + ((left + prior[x]) >> 1));
        else row[x] = uint8_t(row[x] + PaethPredict(left, prior[x], upperLeft));
    }
}

#else

template <size_t Bpp>
void UnfilterWith(uint8_t filter, uint8_t* row, const uint8_t* prior, size_t size) noexcept {
    for (size_t x = 0; x < size; ++x) {
        const uint8_t left = x >= Bpp ? row[x - Bpp] : 0, upperLeft = x >= Bpp ? prior[x - Bpp] : 0;
        if (filter == 1) row[x] = uint8_t(row[x] + left);
        else if (filter == 3) row[x] = uint8_t(row[x] + ((left + prior[x]) >> 1));
        else if (filter == 4) row[x] = uint8_t(row[x] + PaethPredict(left, prior[x], upperLeft));
    }
}

#endif

} // namespace

void UnfilterRow(uint8_t filter, uint8_t* row, const uint8_t* prior, size_t size, size_t bpp) noexcept {
    if (filter == 0 || filter > 4) return;
    if (filter == 2) return UnfilterUp(row, prior, size);
    switch (bpp) {
    case 1: return UnfilterWith<1>(filter, row, prior, size);
    case 2: return UnfilterWith<2>(filter, row, prior, size);
    case 3: return UnfilterWith<3>(filter, row, prior, size);
    case 4: return UnfilterWith<4>(filter, row, prior, size);
    case 5: return UnfilterWith<5>(filter, row, prior, size);
    case 6: return UnfilterWith<6>(filter, row, prior, size);
    case 7: return UnfilterWith<7>(filter, row, prior, size);
    default: return UnfilterWith<8>(filter, row, prior, size);
    }
}
