#include <gtest/gtest.h>

#include <regex>

#include "TestProvider.h"

namespace {

using DataItemsTest = DataProviderTest;

TIntfPtr<IXcDataItems> SubList(const TIntfPtr<IXcDataItem>& item) { return IntfCast<IXcDataItems>(item); }

TEST_F(DataItemsTest, NewItemsGetDifferentIDsOf32HexadecimalDigits) {
    TTestProvider provider(nullptr);
    TTestItem* first = XcCreate<TTestItem>(provider.RootItems().get());
    TTestItem* second = XcCreate<TTestItem>(provider.RootItems().get());
    const std::regex hex("[0-9A-F]{32}");
    EXPECT_TRUE(std::regex_match(first->ID().ToUtf8(), hex)) << first->ID();
    EXPECT_TRUE(std::regex_match(second->ID().ToUtf8(), hex)) << second->ID();
    EXPECT_NE(first->ID(), second->ID());
    const String before = first->ID();
    first->SetID(String());
    EXPECT_EQ(first->ID().Length(), 32) << "an item keeps an ID";
    EXPECT_NE(first->ID(), before);
    // Neither was added: the list does not hold them.
    EXPECT_EQ(first->Index(), -1);
    first->Free();
    second->Free();
}

TEST_F(DataItemsTest, IDPathsAreFollowedFromTheListTheyAreGivenTo) {
    TTestProvider provider(nullptr);
    struct TCase {
        const char* list; // the item whose sub-list is searched; empty: the root list
        const char* path;
        const char* found; // empty: nothing
    };
    const TCase cases[] = {
        {"", "R0\\C01", "C01"},
        {"", "r0/c01/G011", "G011"},
        {"", "Nothing\\R1", "R1"},
        {"", "R0\\Nothing", ""},
        {"", "R2\\C00", ""},
        {"", "..\\R0", ""},
        {"C01", "..\\C02", "C02"},
        {"C01", "..", ""},
        {"C01", "\\R2", "R2"},
        {"C01", "/R0/C01/G010", "G010"},
        {"C01", "G011", "G011"},
        {"R0", "", ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.list) + " " + c.path);
        const TIntfPtr<IXcDataItems> list = *c.list ? SubList(provider.Item(String(c.list))) : provider.RootItems();
        const TIntfPtr<IXcDataItem> found = list->ItemByID(String(c.path));
        EXPECT_EQ(found ? found->ID() : String(), String(c.found));
    }
}

TEST_F(DataItemsTest, FindSearchesTheSubListsOnlyWhenRecursive) {
    TTestProvider provider(nullptr);
    const auto finder = IntfCast<IXcDataItemFinder>(provider.RootItems());
    EXPECT_EQ(finder->Find(u"G010", true)->ID(), u"G010");
    EXPECT_EQ(finder->Find(u"G010", false), nullptr);
    EXPECT_EQ(finder->Find(u"R1", false)->ID(), u"R1");
    EXPECT_EQ(finder->Find(u"Nothing", true), nullptr);
}

TEST_F(DataItemsTest, IndexPathsLeadToTheItemAtTheLastIndex) {
    TTestProvider provider(nullptr);
    struct TCase {
        std::vector<int> path;
        const char* found;
    };
    const TCase cases[] = {
        {{0, 1, 1}, "G011"}, {{0}, "R0"},   {{1, 0}, "C10"}, {{0, 3}, ""},
        {{2, 0}, ""},        {{-1}, ""},    {{}, ""},        {{0, 0, 0}, ""},
    };
    for (const TCase& c : cases) {
        const TIntfPtr<IXcDataItem> found = provider.RootItems()->ItemByIndexPath(c.path);
        EXPECT_EQ(found ? found->ID() : String(), String(c.found)) << testing::PrintToString(c.path);
    }
}

TEST_F(DataItemsTest, TheNamePathNamesTheProviderComponent) {
    TTestProvider provider(nullptr);
    provider.SetName(u"P");
    TXcBaseDataItem* item = provider.ItemObject(u"R1");
    item->SetID(u"7");
    EXPECT_EQ(item->GetNamePath(), u"P: Item[7]");
    EXPECT_EQ(item->GetOwner(), &provider);

    const TIntfPtr<IXcDataItems> loose(XcCreate<TTestItemsList>());
    const TIntfPtr<IXcDataItem> orphan = IntfCast<IXcDataItemsEditor>(loose)->New();
    dynamic_cast<TXcBaseDataItem*>(orphan->Implementer())->SetID(u"8");
    EXPECT_EQ(dynamic_cast<TPersistent*>(orphan->Implementer())->GetNamePath(), u"Unknown: Item[8]");
}

TEST_F(DataItemsTest, ParentsAreFoundDirectlyOrThroughEveryLevel) {
    TTestProvider provider(nullptr);
    const TIntfPtr<IXcDataItem> r0 = provider.Item(u"R0"), c01 = provider.Item(u"C01"), g010 = provider.Item(u"G010");
    EXPECT_TRUE(c01->IsParentOf(g010.get(), true));
    EXPECT_TRUE(r0->IsParentOf(g010.get(), false));
    EXPECT_FALSE(r0->IsParentOf(g010.get(), true));
    EXPECT_FALSE(g010->IsParentOf(r0.get(), false));
    EXPECT_FALSE(provider.Item(u"R1")->IsParentOf(g010.get(), false));
    EXPECT_EQ(SubList(c01)->Parent(), c01);
    EXPECT_EQ(provider.RootItems()->Parent(), nullptr);
    EXPECT_EQ(provider.Item(u"C02")->Index(), 2);
}

TEST_F(DataItemsTest, ASubListGoesWithItsItem) {
    TTestProvider provider(nullptr);
    const TIntfPtr<IXcDataItems> rootSubList = SubList(provider.Item(u"R0"));
    provider.DeleteItem(u"C01");
    EXPECT_EQ(IDsOf(rootSubList.get()), (std::vector<String>{u"C00", u"C02"}));
    EXPECT_EQ(provider.Item(u"G010"), nullptr);
    provider.DeleteItem(u"R0");
    EXPECT_EQ(IDsOf(provider.RootItems().get()), (std::vector<String>{u"R1", u"R2"}));
}

} // namespace
