#include "platform/win/nc/ScrollGeometry.h"

#include <algorithm>
#include <cstdint>

#include "platform/rtl/Conversions.h"
#include "platform/win/system/SystemMetrics.h"

namespace {

// The shortest thumb of a proportional bar.
constexpr int kMinThumb = 8;

} // namespace

int LastScrollPosition(const TScrollBarData& data) noexcept {
    return int(data.max - std::max<int64_t>(int64_t(data.page) - 1, 0));
}

bool CanScroll(const TScrollBarData& data) noexcept { return LastScrollPosition(data) > data.min; }

TScrollMetrics MeasureScrollBar(int length, const TScrollBarData& data, int pos, bool enabled) noexcept {
    TScrollMetrics m;
    m.length = std::max(length, 0);
    const int arrow = GetSystemMetrics(SM_CYVSCROLL);
    m.arrow = m.length < 2 * arrow ? m.length / 2 : arrow;
    m.track = m.length - 2 * m.arrow;
    if (!enabled || (data.disabled & ESB_DISABLE_BOTH) == ESB_DISABLE_BOTH || !CanScroll(data)) return m;
    const int64_t size = int64_t(data.max) - data.min + 1;
    int thumb = data.page == 0 ? GetSystemMetrics(SM_CYVTHUMB)
                               : int((2 * int64_t(m.track) * data.page + size) / (2 * size)); // rounded
    thumb = std::max(thumb, kMinThumb);
    if (thumb > m.track) return m;
    m.thumb = thumb;
    const int last = LastScrollPosition(data);
    m.thumbOffset = MulDiv(m.track - thumb, std::clamp(pos, data.min, last) - data.min, last - data.min);
    return m;
}

TScrollBarPart ScrollBarPartAt(const TScrollMetrics& m, int offset) noexcept {
    if (offset < 0 || offset >= m.length) return TScrollBarPart::None;
    if (offset < m.arrow) return TScrollBarPart::LineUp;
    if (offset >= m.length - m.arrow) return TScrollBarPart::LineDown;
    if (m.thumb == 0) return TScrollBarPart::None;
    const int thumbStart = m.arrow + m.thumbOffset;
    if (offset < thumbStart) return TScrollBarPart::PageUp;
    return offset < thumbStart + m.thumb ? TScrollBarPart::Thumb : TScrollBarPart::PageDown;
}

int ThumbPosition(const TScrollMetrics& m, const TScrollBarData& data, int thumbOffset) noexcept {
    const int room = m.track - m.thumb;
    if (room <= 0) return data.min;
    const int span = (data.max - data.min) - std::max(int(data.page), 1) + 1;
    return std::clamp(data.min + MulDiv(thumbOffset, span, room), data.min, LastScrollPosition(data));
}
