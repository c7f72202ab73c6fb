#pragma once
// The 10-byte x87 extended-precision image of a double, as the registry
// storage keeps floats: a 64-bit significand with an explicit integer bit,
// then the sign and a 15-bit exponent biased by 16383, little-endian.
// Converted bit by bit, so it does not depend on the compiler's long double.

#include <array>
#include <cstdint>

using TExtendedImage = std::array<uint8_t, 10>;

// Exact: every double has an extended image.
TExtendedImage DoubleToExtended(double value);
// Rounded to the nearest double (ties to even); beyond the double's range
// infinity, below it a subnormal or zero; NaNs stay NaNs.
double ExtendedToDouble(const TExtendedImage& image);
