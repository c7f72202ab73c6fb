#pragma once
// A set of pixels kept as banded rectangles: rows of the plane ("bands") of
// equal top and bottom, each holding disjoint, non-touching rectangles from
// left to right; bands run from top to bottom and two touching bands never
// have the same horizontal spans. This form is canonical: two regions cover
// the same pixels exactly when their rectangle lists are equal. Right and
// bottom edges are exclusive.

#include <span>
#include <vector>

#include "platform/win/Constants.h"

class TRegion {
public:
    TRegion() = default;
    // A rectangle with right <= left or bottom <= top is empty.
    explicit TRegion(const RECT& rect);
    // The union of the rectangles, in any order and overlapping.
    static TRegion FromRects(std::span<const RECT> rects);

    bool IsEmpty() const noexcept { return rects_.empty(); }
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int Complexity() const noexcept;
    // The smallest rectangle holding the region; all zero when empty.
    RECT Bounds() const noexcept;
    // In banded order: by top, then left.
    const std::vector<RECT>& Rects() const noexcept { return rects_; }

    bool Contains(int x, int y) const noexcept;
    // Whether any pixel of Rect is in the region.
    bool Intersects(const RECT& rect) const noexcept;
    // Whether every pixel of Rect is in the region (an empty rectangle is).
    bool Contains(const RECT& rect) const;

    void Offset(int dx, int dy) noexcept;

    friend TRegion operator|(const TRegion& a, const TRegion& b);
    friend TRegion operator&(const TRegion& a, const TRegion& b);
    friend TRegion operator-(const TRegion& a, const TRegion& b);
    friend TRegion operator^(const TRegion& a, const TRegion& b);
    TRegion& operator|=(const TRegion& other) { return *this = *this | other; }
    TRegion& operator&=(const TRegion& other) { return *this = *this & other; }
    TRegion& operator-=(const TRegion& other) { return *this = *this - other; }
    TRegion& operator^=(const TRegion& other) { return *this = *this ^ other; }
    friend bool operator==(const TRegion&, const TRegion&) = default;

private:
    enum class TOp { Or, And, Diff, Xor };
    static TRegion Combine(const TRegion& a, const TRegion& b, TOp op);

    std::vector<RECT> rects_;
};
