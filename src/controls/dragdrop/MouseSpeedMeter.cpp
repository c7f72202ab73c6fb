#include "controls/dragdrop/MouseSpeedMeter.h"

void TMouseSpeedMeter::Restart(POINT p, uint32_t now) {
    sample_ = TMouseSample{now, p};
    next_.reset();
}

bool TMouseSpeedMeter::Slow(POINT p, uint32_t now) {
    bool slow = true;
    const uint32_t elapsed = now - sample_.time;
    if (elapsed >= kSampleInterval) {
        const int64_t dx = int64_t{p.x} - sample_.pos.x, dy = int64_t{p.y} - sample_.pos.y;
        // Speed² = distance² × 1000² / elapsed² (pixels per second), compared without dividing.
        const auto distance2 = static_cast<unsigned __int128>(dx * dx + dy * dy);
        const auto elapsed2 = static_cast<unsigned __int128>(uint64_t{elapsed} * elapsed);
        slow = distance2 * 1'000'000 <= elapsed2 * (kSpeedThreshold * kSpeedThreshold);
        if (!next_) next_ = TMouseSample{now, p};
    }
    if (next_ && now - next_->time >= kSampleInterval) {
        sample_ = *next_;
        next_ = TMouseSample{now, p};
    }
    return slow;
}
