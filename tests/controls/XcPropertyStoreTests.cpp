#include <gtest/gtest.h>

#include <vector>

#include "controls/XcPropertyStore.h"
#include "platform/rtl/StringList.h"

TEST(XcPropertyStoreTest, MergedNamesReplaceTheListFirstListFirst) {
    TStringList first, second, merged;
    first.SetText(u"Left\nTop");
    second.SetText(u"Width\nLeft");
    merged.SetText(u"stale");
    int changes = 0;
    merged.OnChange = [&](TObject*) { ++changes; };
    EXPECT_EQ(MergedPropertyNameList(first, second, merged), &merged);
    std::vector<String> names;
    for (int i = 0; i < merged.Count(); ++i) names.push_back(merged[i]);
    EXPECT_EQ(names, (std::vector<String>{u"Left", u"Top", u"Width", u"Left"}));
    EXPECT_EQ(changes, 1);
}
