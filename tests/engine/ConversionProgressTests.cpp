#include "engine/ConversionProgress.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr int64_t kNoLimit = std::numeric_limits<int64_t>::max();
constexpr int64_t kSecond = 1000000;

struct TPercentCase {
    const char* what;
    double duration;
    double position;
    int64_t startTime;
    int64_t recordingTime;
    int percent;
};

std::ostream& operator<<(std::ostream& os, const TPercentCase& c) { return os << c.what; }

class ProgressPercentCases : public testing::TestWithParam<TPercentCase> {};

TEST_P(ProgressPercentCases, Figure) {
    const TPercentCase& c = GetParam();
    EXPECT_EQ(ProgressPercent(c.duration, c.position, c.startTime, c.recordingTime), c.percent) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    ConversionProgress, ProgressPercentCases,
    testing::Values(TPercentCase{"a quarter of the whole input", 100, 25, 0, kNoLimit, 25},
                    TPercentCase{"ties round to even", 8, 1, 0, kNoLimit, 12},
                    TPercentCase{"no duration", 0, 5, 0, kNoLimit, 0},
                    TPercentCase{"recording time cuts the span", 100, 5, 0, 10 * kSecond, 50},
                    TPercentCase{"start mark cuts the span", 100, 10, 50 * kSecond, kNoLimit, 20},
                    TPercentCase{"start mark at the end", 10, 1, 10 * kSecond, kNoLimit, 0},
                    TPercentCase{"start mark past the end", 10, 1, 20 * kSecond, kNoLimit, 0},
                    TPercentCase{"start mark without duration", 0, 1, 5 * kSecond, kNoLimit, 0},
                    TPercentCase{"zero recording time", 100, 1, 0, 0, 0}));

TEST(ConversionProgress, RemainingTimeFollowsThePercentAndIsNeverNegative) {
    EXPECT_EQ(RemainingSeconds(10, 25), 30);
    EXPECT_EQ(RemainingSeconds(10, 100), 0);
    EXPECT_EQ(RemainingSeconds(10, 150), 0);
    EXPECT_EQ(RemainingSeconds(0, 0), kUnknownRemainingSeconds);
    EXPECT_EQ(RemainingSeconds(10, -3), 362439);
}

} // namespace
