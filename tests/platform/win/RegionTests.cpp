#include <gtest/gtest.h>

#include <bitset>
#include <random>
#include <string>

#include "platform/win/region/Region.h"

namespace {

TRegion Region(std::initializer_list<RECT> rects) { return TRegion::FromRects(rects); }

std::string Describe(const TRegion& region) {
    std::string text;
    for (const RECT& r : region.Rects())
        text += "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
                std::to_string(r.bottom) + ")";
    return text.empty() ? "empty" : text;
}

// The banded form: bands of equal top and bottom, sorted, with disjoint
// non-touching rectangles; touching bands differ in their spans.
testing::AssertionResult IsCanonical(const TRegion& region) {
    const std::vector<RECT>& rects = region.Rects();
    size_t previousBand = 0, previousCount = 0;
    for (size_t start = 0; start < rects.size();) {
        size_t end = start;
        while (end < rects.size() && rects[end].top == rects[start].top) {
            const RECT& r = rects[end];
            if (r.left >= r.right || r.top >= r.bottom || r.bottom != rects[start].bottom)
                return testing::AssertionFailure() << "bad rectangle in " << Describe(region);
            if (end > start && rects[end - 1].right >= r.left)
                return testing::AssertionFailure() << "touching or unsorted spans in " << Describe(region);
            ++end;
        }
        if (start > 0) {
            const RECT& above = rects[previousBand];
            if (above.bottom > rects[start].top)
                return testing::AssertionFailure() << "overlapping bands in " << Describe(region);
            bool same = above.bottom == rects[start].top && previousCount == end - start;
            for (size_t k = 0; same && k < previousCount; ++k)
                same = rects[previousBand + k].left == rects[start + k].left &&
                       rects[previousBand + k].right == rects[start + k].right;
            if (same) return testing::AssertionFailure() << "bands not coalesced in " << Describe(region);
        }
        previousBand = start;
        previousCount = end - start;
        start = end;
    }
    return testing::AssertionSuccess();
}

enum class Op { Or, And, Diff, Xor };

TRegion Apply(const TRegion& a, Op op, const TRegion& b) {
    switch (op) {
    case Op::Or: return a | b;
    case Op::And: return a & b;
    case Op::Diff: return a - b;
    case Op::Xor: return a ^ b;
    }
    return {};
}

TEST(RegionTest, BooleanOperationsGiveTheBandedRectangles) {
    const TRegion hole = Region({{0, 0, 30, 30}}) - Region({{10, 10, 20, 20}});
    struct Case {
        const char* name;
        TRegion a;
        Op op;
        TRegion b;
        TRegion expected;
    };
    const Case cases[] = {
        {"overlapping squares join in three bands", Region({{0, 0, 10, 10}}), Op::Or, Region({{5, 5, 15, 15}}),
         Region({{0, 0, 10, 5}, {0, 5, 15, 10}, {5, 10, 15, 15}})},
        {"side by side squares merge", Region({{0, 0, 10, 10}}), Op::Or, Region({{10, 0, 20, 10}}),
         Region({{0, 0, 20, 10}})},
        {"stacked squares of one width coalesce", Region({{0, 0, 10, 10}}), Op::Or, Region({{0, 10, 10, 20}}),
         Region({{0, 0, 10, 20}})},
        {"a gap keeps bands apart", Region({{0, 0, 10, 10}}), Op::Or, Region({{0, 11, 10, 20}}),
         Region({{0, 0, 10, 10}, {0, 11, 10, 20}})},
        {"a hole leaves four rectangles", Region({{0, 0, 30, 30}}), Op::Diff, Region({{10, 10, 20, 20}}),
         Region({{0, 0, 30, 10}, {0, 10, 10, 20}, {20, 10, 30, 20}, {0, 20, 30, 30}})},
        {"filling the hole gives one rectangle", hole, Op::Or, Region({{10, 10, 20, 20}}),
         Region({{0, 0, 30, 30}})},
        {"removing the part that stuck out coalesces again", Region({{0, 0, 10, 10}, {10, 0, 20, 5}}), Op::Diff,
         Region({{10, 0, 20, 5}}), Region({{0, 0, 10, 10}})},
        {"corners touching do not intersect", Region({{0, 0, 10, 10}}), Op::And, Region({{10, 10, 20, 20}}),
         TRegion()},
        {"overlap of squares", Region({{0, 0, 10, 10}}), Op::And, Region({{5, 5, 15, 15}}),
         Region({{5, 5, 10, 10}})},
        {"hole and its filling do not intersect", hole, Op::And, Region({{10, 10, 20, 20}}), TRegion()},
        {"exclusive or of overlapping bars", Region({{0, 0, 10, 10}}), Op::Xor, Region({{5, 0, 15, 10}}),
         Region({{0, 0, 5, 10}, {10, 0, 15, 10}})},
        {"exclusive or with itself is empty", hole, Op::Xor, hole, TRegion()},
        {"subtracting everything is empty", hole, Op::Diff, Region({{-5, -5, 35, 35}}), TRegion()},
        {"empty is neutral for union", TRegion(), Op::Or, hole, hole},
        {"negative coordinates", Region({{-20, -20, -10, -10}}), Op::Or, Region({{-15, -15, 0, 0}}),
         Region({{-20, -20, -10, -15}, {-20, -15, 0, -10}, {-15, -10, 0, 0}})},
    };
    for (const Case& c : cases) {
        const TRegion result = Apply(c.a, c.op, c.b);
        EXPECT_EQ(result, c.expected) << c.name << ": " << Describe(result);
        EXPECT_TRUE(IsCanonical(result)) << c.name;
    }
    EXPECT_EQ(Describe(hole), "(0,0,30,10)(0,10,10,20)(20,10,30,20)(0,20,30,30)");
}

TEST(RegionTest, EmptyAndInvertedRectanglesAreEmpty) {
    for (const RECT& rect : {RECT{0, 0, 0, 10}, RECT{0, 0, 10, 0}, RECT{10, 0, 0, 10}, RECT{0, 10, 10, 0}}) {
        const TRegion region(rect);
        EXPECT_TRUE(region.IsEmpty());
        EXPECT_EQ(region.Complexity(), NULLREGION);
        EXPECT_EQ(region.Bounds(), (RECT{0, 0, 0, 0}));
    }
}

TEST(RegionTest, HitTestsBoundsComplexityAndOffset) {
    TRegion hole = Region({{0, 0, 30, 30}}) - Region({{10, 10, 20, 20}});
    EXPECT_EQ(hole.Complexity(), COMPLEXREGION);
    EXPECT_EQ(Region({{3, 4, 5, 6}}).Complexity(), SIMPLEREGION);
    EXPECT_EQ(hole.Bounds(), (RECT{0, 0, 30, 30}));

    EXPECT_TRUE(hole.Contains(0, 0));
    EXPECT_TRUE(hole.Contains(29, 29));
    EXPECT_FALSE(hole.Contains(30, 5)) << "right edge is exclusive";
    EXPECT_FALSE(hole.Contains(5, 30)) << "bottom edge is exclusive";
    EXPECT_TRUE(hole.Contains(9, 15));
    EXPECT_FALSE(hole.Contains(10, 15));
    EXPECT_FALSE(hole.Contains(19, 19));
    EXPECT_TRUE(hole.Contains(20, 19));
    EXPECT_FALSE(hole.Contains(-1, 0));

    EXPECT_FALSE(hole.Intersects({10, 10, 20, 20}));
    EXPECT_TRUE(hole.Intersects({9, 10, 20, 20}));
    EXPECT_FALSE(hole.Intersects({30, 0, 40, 40}));
    EXPECT_FALSE(hole.Intersects({12, 12, 12, 18})) << "an empty rectangle meets nothing";
    EXPECT_TRUE(hole.Contains(RECT{0, 0, 30, 10}));
    EXPECT_FALSE(hole.Contains(RECT{0, 0, 30, 11}));
    EXPECT_TRUE(hole.Contains(RECT{12, 12, 12, 18}));

    hole.Offset(-5, 7);
    EXPECT_EQ(hole, Region({{-5, 7, 25, 37}}) - Region({{5, 17, 15, 27}}));
    EXPECT_FALSE(hole.Contains(5, 17));
    EXPECT_TRUE(hole.Contains(4, 17));
}

// Regions made of random rectangles on a small grid against a pixel mask.
class RegionModelTest : public testing::Test {
protected:
    static constexpr int kSize = 20;
    using Mask = std::bitset<kSize * kSize>;

    RECT RandomRect() {
        std::uniform_int_distribution<int> coordinate(0, kSize);
        return {coordinate(random_), coordinate(random_), coordinate(random_), coordinate(random_)};
    }

    void RandomShape(TRegion& region, Mask& mask) {
        std::vector<RECT> rects(std::uniform_int_distribution<int>(0, 5)(random_));
        for (RECT& rect : rects) {
            rect = RandomRect();
            for (int y = rect.top; y < rect.bottom; ++y)
                for (int x = rect.left; x < rect.right; ++x) mask.set(y * kSize + x);
        }
        region = TRegion::FromRects(rects);
    }

    // The same pixels built the other way round: one rectangle per pixel run.
    static TRegion FromMask(const Mask& mask) {
        std::vector<RECT> runs;
        for (int y = kSize - 1; y >= 0; --y) {
            for (int x = 0; x < kSize;) {
                if (!mask.test(y * kSize + x)) {
                    ++x;
                    continue;
                }
                const int left = x;
                while (x < kSize && mask.test(y * kSize + x)) ++x;
                runs.push_back({left, y, x, y + 1});
            }
        }
        return TRegion::FromRects(runs);
    }

    static void ExpectMatches(const TRegion& region, const Mask& mask, const std::string& what) {
        ASSERT_TRUE(IsCanonical(region)) << what;
        ASSERT_EQ(region, FromMask(mask)) << what << ": " << Describe(region);
        RECT bounds{kSize, kSize, 0, 0};
        for (int y = -1; y <= kSize; ++y) {
            for (int x = -1; x <= kSize; ++x) {
                const bool set = x >= 0 && y >= 0 && x < kSize && y < kSize && mask.test(y * kSize + x);
                ASSERT_EQ(region.Contains(x, y), set) << what << " at " << x << "," << y;
                if (set) bounds = {std::min<LONG>(bounds.left, x), std::min<LONG>(bounds.top, y),
                                   std::max<LONG>(bounds.right, x + 1), std::max<LONG>(bounds.bottom, y + 1)};
            }
        }
        EXPECT_EQ(region.Bounds(), mask.none() ? RECT() : bounds) << what;
    }

    std::mt19937 random_{20240611};
};

TEST_F(RegionModelTest, OperationsMatchAPixelMask) {
    for (int round = 0; round < 1500; ++round) {
        TRegion a, b;
        Mask maskA, maskB;
        RandomShape(a, maskA);
        RandomShape(b, maskB);
        ExpectMatches(a, maskA, "shape");
        const std::string what = "round " + std::to_string(round) + " " + Describe(a) + " and " + Describe(b);
        ExpectMatches(a | b, maskA | maskB, "union " + what);
        ExpectMatches(a & b, maskA & maskB, "intersection " + what);
        ExpectMatches(a - b, maskA & ~maskB, "difference " + what);
        ExpectMatches(a ^ b, maskA ^ maskB, "exclusive or " + what);
        if (HasFatalFailure()) return;

        const RECT probe = RandomRect();
        bool any = false, all = true;
        for (int y = probe.top; y < probe.bottom; ++y)
            for (int x = probe.left; x < probe.right; ++x) {
                if (maskA.test(y * kSize + x))
                    any = true;
                else
                    all = false;
            }
        EXPECT_EQ(a.Intersects(probe), any) << what;
        EXPECT_EQ(a.Contains(probe), all) << what;
    }
}

} // namespace
