#include <gtest/gtest.h>

#include "platform/win/shell/NameOrder.h"

namespace {

TEST(NameOrder, WithoutACollationNamesSortIgnoringCaseWithDigitsByValue) {
    const struct {
        const char16_t* a;
        const char16_t* b;
        int sign;
    } cases[] = {
        {u"file2.mp4", u"file10.mp4", -1}, {u"File10", u"file9", 1},  {u"abc", u"ABD", -1},
        {u"a.mp4", u"A.MP4", 1},           {u"x007", u"x7", 1},       {u"x7", u"x007", -1},
        {u"视频2", u"视频10", -1},          {u"track", u"track1", -1}, {u"b", u"B", 1},
        {u"same", u"same", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(String(c.a) + u" vs " + c.b);
        const int result = CompareFileNames(c.a, c.b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign);
    }
}

// Orders by length alone: anything but the built-in order.
class TByLength : public INameCollation {
public:
    int Compare(const String& a, const String& b) const override { return int(a.size()) - int(b.size()); }
};

TEST(NameOrder, AnInstalledCollationDecidesAndItsTiesKeepAFixedOrder) {
    TByLength byLength;
    const TNameCollationScope installed(byLength);
    EXPECT_LT(CompareFileNames(u"zz", u"aaa"), 0);
    EXPECT_GT(CompareFileNames(u"b", u"a"), 0) << "equal in the collation: by code units";
    EXPECT_EQ(CompareFileNames(u"a", u"a"), 0);
}

} // namespace
