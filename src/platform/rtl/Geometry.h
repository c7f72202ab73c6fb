#pragma once
// Points, sizes and rectangles in pixels, for code that measures and places
// things without the window system.

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

// Right and Bottom lie just outside.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const noexcept { return Right - Left; }
    int Height() const noexcept { return Bottom - Top; }
    TPoint TopLeft() const noexcept { return {Left, Top}; }
    friend bool operator==(const TRect&, const TRect&) = default;
};
