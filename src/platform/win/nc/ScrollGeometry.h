#pragma once
// Where the parts of a scroll bar lie along its length, and the position a
// dragged thumb stands for. Internal to the window system.

#include "platform/win/core/Window.h"

struct TScrollMetrics {
    int length = 0;      // the whole bar
    int arrow = 0;       // each arrow
    int track = 0;       // between the arrows
    int thumb = 0;       // 0: no thumb (nothing to scroll, disabled, or no room)
    int thumbOffset = 0; // from the start of the track
};

// The highest position: max - max(page - 1, 0).
int LastScrollPosition(const TScrollBarData& data) noexcept;
// Whether the page leaves something to scroll.
bool CanScroll(const TScrollBarData& data) noexcept;
// Pos: the position the thumb shows (the track position while dragging).
TScrollMetrics MeasureScrollBar(int length, const TScrollBarData& data, int pos, bool enabled) noexcept;
// The part under Offset (from the bar's start).
TScrollBarPart ScrollBarPartAt(const TScrollMetrics& metrics, int offset) noexcept;
// The position of a thumb dragged to ThumbOffset (from the start of the track):
// nMin + MulDiv(offset, (nMax - nMin) - max(nPage, 1) + 1, track - thumb),
// clamped to [nMin, LastScrollPosition]; nMin when the track has no room.
int ThumbPosition(const TScrollMetrics& metrics, const TScrollBarData& data, int thumbOffset) noexcept;
