#pragma once
// Progress figures of a conversion. Duration and Position are in seconds,
// StartTime and RecordingTime in microseconds (the option set's cut marks).

#include <cstdint>

// Percent of the converted span that Position has reached: the whole input
// unless a start mark or a shorter recording time cuts it. 0 when the span is
// empty or unknown (no duration, start mark at or past the end).
int ProgressPercent(double duration, double position, int64_t startTime, int64_t recordingTime);

// What RemainingSeconds reports before there is any progress.
inline constexpr int64_t kUnknownRemainingSeconds = 362439;

// Seconds still to go when Percent took ElapsedSeconds; never negative.
int64_t RemainingSeconds(int64_t elapsedSeconds, int percent);
