#include "engine/ConversionProgress.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Nearest integer, ties to even, within int.
int NearestInt(double value) {
    if (!(value > INT_MIN)) return value < 0 ? INT_MIN : 0; // NaN gives 0
    if (value >= INT_MAX) return INT_MAX;
    return static_cast<int>(std::nearbyint(value));
}

} // namespace

int ProgressPercent(double duration, double position, int64_t startTime, int64_t recordingTime) {
    constexpr double kMicro = 1000000.0;
    if (startTime <= 0 && duration * kMicro <= static_cast<double>(recordingTime))
        return duration > 0 ? NearestInt(position / duration * 100) : 0;
    const double end = std::nearbyint(duration * kMicro);
    const double span = std::min(static_cast<double>(recordingTime), end - static_cast<double>(startTime));
    if (!(span > 0)) return 0;
    return NearestInt(position * 100 * kMicro / span);
}

int64_t RemainingSeconds(int64_t elapsedSeconds, int percent) {
    if (percent <= 0) return kUnknownRemainingSeconds;
    return std::max<int64_t>(0, elapsedSeconds * (100 - percent) / percent);
}
