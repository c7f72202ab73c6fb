#include "platform/rtl/ResourceStrings.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr TResStringRec SGreeting{0xFF01, u"Hello"};
constexpr TResStringRec SCount{0xFF02, u"%d files in %s"};

class ResourceStrings : public ::testing::Test {
protected:
    void SetUp() override { RegisterResStrings({&SGreeting, &SCount}); }
    void TearDown() override { UnregisterResStrings({&SGreeting, &SCount}); }
};

TEST_F(ResourceStrings, EveryLoaderGivesTheDefaultTextWithoutAHook) {
    EXPECT_EQ(LoadResString(SGreeting), u"Hello");
    EXPECT_EQ(LoadStr(0xFF01), u"Hello");
    EXPECT_EQ(FmtLoadStr(0xFF02, {3, u"/tmp"}), u"3 files in /tmp");
    EXPECT_EQ(LoadStr(0xFF03), u"");
}

TEST_F(ResourceStrings, HookSeesEachLoadAndRemovingItRestoresTheTexts) {
    struct TCall {
        TResStringLoader loader;
        int identifier;
        String text;
    };
    std::vector<TCall> calls;
    {
        TResStringHookScope scope([&](TResStringLoader loader, int identifier, const String& text) {
            calls.push_back({loader, identifier, text});
            return String(u"[") + text + u"]";
        });
        EXPECT_EQ(LoadResString(SGreeting), u"[Hello]");
        EXPECT_EQ(LoadStr(0xFF01), u"[Hello]");
        EXPECT_EQ(FmtLoadStr(0xFF02, {2, u"a"}), u"[2 files in a]");
    }
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].loader, TResStringLoader::ByRecord);
    EXPECT_EQ(calls[1].loader, TResStringLoader::ByIdentifier);
    EXPECT_EQ(calls[2].loader, TResStringLoader::FormattedByIdentifier);
    EXPECT_EQ(calls[2].identifier, 0xFF02);
    EXPECT_EQ(calls[2].text, u"2 files in a"); // the formatted loader passes the formatted text
    EXPECT_EQ(LoadResString(SGreeting), u"Hello");
    EXPECT_EQ(LoadStr(0xFF01), u"Hello");
}

TEST_F(ResourceStrings, UnregisteringKeepsARecordThatReplacedIt) {
    static constexpr TResStringRec SOther{0xFF01, u"Other"};
    RegisterResStrings({&SOther});
    EXPECT_EQ(LoadStr(0xFF01), u"Other");
    UnregisterResStrings({&SGreeting}); // no longer the registered one: nothing changes
    EXPECT_EQ(LoadStr(0xFF01), u"Other");
    UnregisterResStrings({&SOther});
    EXPECT_EQ(LoadStr(0xFF01), u"");
}

} // namespace
