#include "support/storage/XcExtendedFloat.h"

#include <bit>

namespace {

constexpr int ExtendedBias = 16383;
constexpr int DoubleBias = 1023;
constexpr uint64_t IntegerBit = uint64_t{1} << 63;
constexpr uint64_t FractionMask = (uint64_t{1} << 52) - 1;

TExtendedImage Image(bool negative, int exponent, uint64_t significand) {
    TExtendedImage image{};
    for (int i = 0; i < 8; ++i) image[i] = static_cast<uint8_t>(significand >> (8 * i));
    const unsigned top = (negative ? 0x8000u : 0u) | static_cast<unsigned>(exponent);
    image[8] = static_cast<uint8_t>(top);
    image[9] = static_cast<uint8_t>(top >> 8);
    return image;
}

// Value >> Shift (1 to 64) rounded to nearest, ties to even.
uint64_t ShiftRounded(uint64_t value, int shift) {
    const uint64_t quotient = shift == 64 ? 0 : value >> shift;
    const uint64_t remainder = shift == 64 ? value : value & ((uint64_t{1} << shift) - 1);
    const uint64_t half = uint64_t{1} << (shift - 1);
    return quotient + (remainder > half || (remainder == half && (quotient & 1)) ? 1 : 0);
}

double Compose(bool negative, uint64_t biasedExponent, uint64_t fraction) {
    return std::bit_cast<double>((negative ? IntegerBit : 0) | biasedExponent << 52 | fraction);
}

} // namespace

TExtendedImage DoubleToExtended(double value) {
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    const bool negative = bits >> 63;
    const int exponent = static_cast<int>(bits >> 52 & 0x7FF);
    const uint64_t fraction = bits & FractionMask;
    if (exponent == 0x7FF) return Image(negative, 0x7FFF, IntegerBit | fraction << 11);
    if (exponent != 0) return Image(negative, exponent - DoubleBias + ExtendedBias, IntegerBit | fraction << 11);
    if (fraction == 0) return Image(negative, 0, 0);
    // A subnormal double is a normal extended: fraction * 2^-1074.
    const int shift = std::countl_zero(fraction);
    return Image(negative, ExtendedBias - 1074 + 63 - shift, fraction << shift);
}

double ExtendedToDouble(const TExtendedImage& image) {
    uint64_t significand = 0;
    for (int i = 7; i >= 0; --i) significand = significand << 8 | image[i];
    const unsigned top = image[8] | unsigned{image[9]} << 8;
    const bool negative = top & 0x8000;
    const int exponent = static_cast<int>(top & 0x7FFF);
    if (exponent == 0x7FFF) {
        const uint64_t fraction = significand >> 11 & FractionMask;
        if ((significand << 1) == 0) return Compose(negative, 0x7FF, 0);
        return Compose(negative, 0x7FF, fraction | uint64_t{1} << 51);
    }
    if (significand == 0) return Compose(negative, 0, 0);

    // Value = significand * 2^(max(exponent, 1) - 16383 - 63); normalise the significand.
    const int leading = std::countl_zero(significand);
    significand <<= leading;
    const int64_t biased = int64_t{exponent == 0 ? 1 : exponent} - ExtendedBias - leading + DoubleBias;
    if (biased >= 0x7FF) return Compose(negative, 0x7FF, 0);
    if (biased >= 1) {
        uint64_t mantissa = ShiftRounded(significand, 11); // 53 bits, or 2^53 after rounding up
        uint64_t e = static_cast<uint64_t>(biased);
        if (mantissa >> 53) {
            mantissa >>= 1;
            if (++e == 0x7FF) return Compose(negative, 0x7FF, 0);
        }
        return Compose(negative, e, mantissa & FractionMask);
    }
    // Subnormal: fraction = significand * 2^(biased - 1 - 11); rounding up may reach the smallest normal.
    const int64_t shift = 12 - biased;
    if (shift > 64) return Compose(negative, 0, 0);
    return std::bit_cast<double>((negative ? IntegerBit : 0) | ShiftRounded(significand, static_cast<int>(shift)));
}
