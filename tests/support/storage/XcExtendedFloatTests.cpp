#include "support/storage/XcExtendedFloat.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

TExtendedImage Image(int exponentWithSign, uint64_t significand) {
    TExtendedImage image{};
    std::memcpy(image.data(), &significand, 8);
    image[8] = static_cast<uint8_t>(exponentWithSign);
    image[9] = static_cast<uint8_t>(exponentWithSign >> 8);
    return image;
}

uint64_t Bits(double value) { return std::bit_cast<uint64_t>(value); }

TEST(ExtendedFloat, DoublesRoundTripBitForBit) {
    const double cases[] = {0.0,
                            -0.0,
                            1.0,
                            -2.5,
                            3.141592653589793,
                            1e300,
                            std::numeric_limits<double>::max(),
                            std::numeric_limits<double>::min(),
                            std::numeric_limits<double>::denorm_min(),
                            -std::numeric_limits<double>::denorm_min() * 12345,
                            std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity()};
    for (double value : cases) EXPECT_EQ(Bits(value), Bits(ExtendedToDouble(DoubleToExtended(value)))) << value;
    EXPECT_TRUE(std::isnan(ExtendedToDouble(DoubleToExtended(std::numeric_limits<double>::quiet_NaN()))));
    EXPECT_EQ(Image(0x3FFF, uint64_t{1} << 63), DoubleToExtended(1.0));
    EXPECT_EQ(Image(0xC000, uint64_t{5} << 61), DoubleToExtended(-2.5));
}

TEST(ExtendedFloat, RoundsToTheNearestDoubleWithTiesToEven) {
    const uint64_t one = uint64_t{1} << 63;
    struct {
        TExtendedImage Image;
        double Expected;
    } cases[] = {
        {Image(0x3FFF, one | 1 << 10), 1.0},                               // exactly half an ulp: stays even
        {Image(0x3FFF, one | 3 << 10), 1.0 + 2 * 0x1p-52},                 // half an ulp above an odd one: up
        {Image(0x3FFF, one | 1 << 10 | 1), 1.0 + 0x1p-52},                 // just above half: up
        {Image(0x3FFF, ~uint64_t{0}), 2.0},                                // carries into the exponent
        {Image(0x7FFE, one), std::numeric_limits<double>::infinity()},     // beyond the range
        {Image(0x43FE, ~uint64_t{0}), std::numeric_limits<double>::infinity()},
        {Image(0x0001, one), 0.0},                                         // far below the range
        {Image(0x8001, one), -0.0},
        {Image(0x3C00, ~uint64_t{0}), std::numeric_limits<double>::min()}, // a subnormal rounding up to the smallest normal
        {Image(0x3BCC, one), 0.0},                                         // 2^-1075: half the smallest subnormal, even
        {Image(0x3BCC, one | 1), std::numeric_limits<double>::denorm_min()},
        {Image(0x0000, 0), 0.0},
    };
    for (const auto& c : cases) EXPECT_EQ(Bits(c.Expected), Bits(ExtendedToDouble(c.Image))) << c.Expected;
    EXPECT_TRUE(std::isnan(ExtendedToDouble(Image(0x7FFF, uint64_t{1} << 63 | 1))));
    EXPECT_TRUE(std::isnan(ExtendedToDouble(Image(0x7FFF, uint64_t{1} << 63 | uint64_t{1} << 40))));
}

// Where the compiler's long double is the x87 format, the hardware converts the same way.
TEST(ExtendedFloat, AgreesWithTheX87Conversions) {
    if constexpr (std::numeric_limits<long double>::digits != 64) {
        GTEST_SKIP() << "long double is not the x87 format here";
    } else {
        std::mt19937_64 random(42);
        for (int i = 0; i < 20000; ++i) {
            const double value = std::bit_cast<double>(random());
            if (std::isnan(value)) continue;
            const long double wide = value;
            TExtendedImage expected{};
            std::memcpy(expected.data(), &wide, 10);
            ASSERT_EQ(expected, DoubleToExtended(value)) << value;

            const int exponent = static_cast<int>(random() % 0x7FFF);
            const uint64_t significand = exponent ? random() | uint64_t{1} << 63 : random() >> 1;
            const TExtendedImage image = Image(exponent | (random() & 1 ? 0x8000 : 0), significand);
            long double read;
            std::memcpy(&read, image.data(), 10);
            ASSERT_EQ(Bits(static_cast<double>(read)), Bits(ExtendedToDouble(image))) << exponent << " " << significand;
        }
    }
}

} // namespace
