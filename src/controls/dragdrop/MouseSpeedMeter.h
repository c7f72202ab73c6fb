#pragma once
// Whether the cursor of a drag rests: its speed, measured over the last 10
// to 20 ms, is at most 20 pixels per second. Times are 32-bit tick counts
// that may wrap; the arithmetic is wide enough for any gap between samples.

#include <cstdint>
#include <optional>

#include "platform/win/Types.h"

class TMouseSpeedMeter {
public:
    static constexpr uint32_t kSampleInterval = 10;
    static constexpr uint64_t kSpeedThreshold = 20;

    // Starts measuring at P; a fresh start counts as resting.
    void Restart(POINT p, uint32_t now);
    // Whether the cursor at P rests, and moves the measuring window on.
    bool Slow(POINT p, uint32_t now);

private:
    struct TMouseSample {
        uint32_t time;
        POINT pos;
    };

    TMouseSample sample_{0, {0, 0}};
    std::optional<TMouseSample> next_;
};
