#include "platform/win/region/Region.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

constexpr int64_t kBefore = std::numeric_limits<int64_t>::min();
constexpr int64_t kAfter = std::numeric_limits<int64_t>::max();
constexpr size_t kNoBand = std::numeric_limits<size_t>::max();

size_t BandEnd(const std::vector<RECT>& rects, size_t start) {
    size_t end = start;
    while (end < rects.size() && rects[end].top == rects[start].top) ++end;
    return end;
}

// Appends to Out the spans of [Top, Bottom) where Keep(in A, in B) holds.
// Both span lists are sorted, disjoint and non-touching, as the output is.
template <class Keep>
void CombineSpans(std::span<const RECT> a, std::span<const RECT> b, int64_t top, int64_t bottom, Keep keep,
                  std::vector<RECT>& out) {
    const size_t bandStart = out.size();
    size_t i = 0, j = 0;
    for (int64_t x = kBefore;;) {
        const bool inA = i < a.size() && a[i].left <= x;
        const bool inB = j < b.size() && b[j].left <= x;
        const int64_t nextA = i < a.size() ? (inA ? a[i].right : a[i].left) : kAfter;
        const int64_t nextB = j < b.size() ? (inB ? b[j].right : b[j].left) : kAfter;
        const int64_t next = std::min(nextA, nextB);
        if (next == kAfter) break;
        if (keep(inA, inB)) {
            if (out.size() > bandStart && out.back().right == x)
                out.back().right = LONG(next);
            else
                out.push_back({LONG(x), LONG(top), LONG(next), LONG(bottom)});
        }
        x = next;
        if (i < a.size() && a[i].right == x) ++i;
        if (j < b.size() && b[j].right == x) ++j;
    }
}

// Merges the band just appended at BandStart into the band before it when
// they touch and have the same spans.
void Coalesce(std::vector<RECT>& out, size_t& previousBand, size_t bandStart) {
    const size_t count = out.size() - bandStart;
    if (count == 0) return;
    const auto sameSpans = [&] {
        for (size_t k = 0; k < count; ++k) {
            const RECT& above = out[previousBand + k];
            const RECT& below = out[bandStart + k];
            if (above.left != below.left || above.right != below.right) return false;
        }
        return true;
    };
    if (previousBand != kNoBand && bandStart - previousBand == count &&
        out[previousBand].bottom == out[bandStart].top && sameSpans()) {
        for (size_t k = previousBand; k < bandStart; ++k) out[k].bottom = out[bandStart].bottom;
        out.resize(bandStart);
    } else {
        previousBand = bandStart;
    }
}

} // namespace

TRegion::TRegion(const RECT& rect) {
    if (rect.left < rect.right && rect.top < rect.bottom) rects_.push_back(rect);
}

TRegion TRegion::FromRects(std::span<const RECT> rects) {
    if (rects.empty()) return {};
    if (rects.size() == 1) return TRegion(rects.front());
    const size_t half = rects.size() / 2;
    return FromRects(rects.first(half)) | FromRects(rects.subspan(half));
}

int TRegion::Complexity() const noexcept {
    return rects_.empty() ? NULLREGION : rects_.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

RECT TRegion::Bounds() const noexcept {
    if (rects_.empty()) return {0, 0, 0, 0};
    RECT bounds{rects_.front().left, rects_.front().top, rects_.front().right, rects_.back().bottom};
    for (const RECT& rect : rects_) {
        bounds.left = std::min(bounds.left, rect.left);
        bounds.right = std::max(bounds.right, rect.right);
    }
    return bounds;
}

bool TRegion::Contains(int x, int y) const noexcept {
    auto it = std::partition_point(rects_.begin(), rects_.end(), [y](const RECT& r) { return r.bottom <= y; });
    if (it == rects_.end() || it->top > y) return false;
    const LONG bandTop = it->top;
    it = std::partition_point(it, rects_.end(),
                              [x, bandTop](const RECT& r) { return r.top == bandTop && r.right <= x; });
    return it != rects_.end() && it->top == bandTop && it->left <= x;
}

bool TRegion::Intersects(const RECT& rect) const noexcept {
    if (rect.left >= rect.right || rect.top >= rect.bottom) return false;
    auto it = std::partition_point(rects_.begin(), rects_.end(),
                                   [&](const RECT& r) { return r.bottom <= rect.top; });
    for (; it != rects_.end() && it->top < rect.bottom; ++it) {
        if (it->left < rect.right && it->right > rect.left) return true;
    }
    return false;
}

bool TRegion::Contains(const RECT& rect) const { return (TRegion(rect) - *this).IsEmpty(); }

void TRegion::Offset(int dx, int dy) noexcept {
    for (RECT& rect : rects_) {
        rect.left += dx;
        rect.right += dx;
        rect.top += dy;
        rect.bottom += dy;
    }
}

TRegion TRegion::Combine(const TRegion& a, const TRegion& b, TOp op) {
    const auto keep = [op](bool inA, bool inB) {
        switch (op) {
        case TOp::Or: return inA || inB;
        case TOp::And: return inA && inB;
        case TOp::Diff: return inA && !inB;
        case TOp::Xor: return inA != inB;
        }
        return false;
    };
    const std::vector<RECT>& ra = a.rects_;
    const std::vector<RECT>& rb = b.rects_;
    TRegion result;
    std::vector<RECT>& out = result.rects_;
    out.reserve(ra.size() + rb.size());
    size_t ia = 0, ib = 0;
    size_t ja = BandEnd(ra, ia), jb = BandEnd(rb, ib);
    size_t previousBand = kNoBand;
    // Y walks down the plane; each step handles the rows [top, bottom) in
    // which neither region changes its spans.
    for (int64_t y = kBefore;;) {
        const bool moreA = ia < ra.size(), moreB = ib < rb.size();
        if (!moreA && !moreB) break;
        if (op == TOp::And && !(moreA && moreB)) break;
        if (op == TOp::Diff && !moreA) break;
        const int64_t topA = moreA ? std::max<int64_t>(ra[ia].top, y) : kAfter;
        const int64_t topB = moreB ? std::max<int64_t>(rb[ib].top, y) : kAfter;
        const int64_t top = std::min(topA, topB);
        const bool inA = topA == top, inB = topB == top;
        const int64_t bottom = std::min(inA ? ra[ia].bottom : topA, inB ? rb[ib].bottom : topB);
        const std::span<const RECT> spansA = inA ? std::span(ra).subspan(ia, ja - ia) : std::span<const RECT>();
        const std::span<const RECT> spansB = inB ? std::span(rb).subspan(ib, jb - ib) : std::span<const RECT>();
        const size_t bandStart = out.size();
        CombineSpans(spansA, spansB, top, bottom, keep, out);
        Coalesce(out, previousBand, bandStart);
        y = bottom;
        if (inA && ra[ia].bottom == bottom) {
            ia = ja;
            ja = BandEnd(ra, ia);
        }
        if (inB && rb[ib].bottom == bottom) {
            ib = jb;
            jb = BandEnd(rb, ib);
        }
    }
    return result;
}

TRegion operator|(const TRegion& a, const TRegion& b) { return TRegion::Combine(a, b, TRegion::TOp::Or); }
TRegion operator&(const TRegion& a, const TRegion& b) { return TRegion::Combine(a, b, TRegion::TOp::And); }
TRegion operator-(const TRegion& a, const TRegion& b) { return TRegion::Combine(a, b, TRegion::TOp::Diff); }
TRegion operator^(const TRegion& a, const TRegion& b) { return TRegion::Combine(a, b, TRegion::TOp::Xor); }
