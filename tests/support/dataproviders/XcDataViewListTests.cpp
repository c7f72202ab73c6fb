#include <gtest/gtest.h>

#include <functional>

#include "TestProvider.h"
#include "support/dataproviders/XcDataViewList.h"

namespace {

// Hides the items named in Hidden for its consumer and leaves the rest to the items.
class THidingExtension : public TImplements<TXcDataConsumerAggregatedObject, IXcDataConsumerItemVisibility> {
    RTL_CLASS(THidingExtension, TXcDataConsumerAggregatedObject);

public:
    using TImplements::TImplements;
    TXcItemVisibility ItemVisibility(IXcDataItem* item) override {
        return item->ID() == hidden ? ivHidden : ivUndetermined;
    }
    static inline String hidden = u"R1";
};

// Makes its item hidden.
class TInvisibleItem : public TImplements<TXcDataItemAggregatedObject, IXcDataItemVisibility> {
    RTL_CLASS(TInvisibleItem, TXcDataItemAggregatedObject);

public:
    using TImplements::TImplements;
    TXcItemVisibility Visibility() override { return ivHidden; }
};

RTL_PUBLISHED_NONE(THidingExtension);
RTL_PUBLISHED_NONE(TInvisibleItem);

struct TRow {
    String ID;
    int Level;
    bool Expanded, HasSubList, HasChildren;
    friend bool operator==(const TRow&, const TRow&) = default;
    friend std::ostream& operator<<(std::ostream& os, const TRow& r) {
        return os << r.ID << "/" << r.Level << (r.Expanded ? " open" : "") << (r.HasSubList ? " list" : "")
                  << (r.HasChildren ? " children" : "");
    }
};

class DataViewListTest : public DataProviderTest {
protected:
    DataViewListTest() {
        consumer->OnChanged = [this](TXcDataConsumer*, TDataConsumerChangeReason reason) { changes.push_back(reason); };
    }

    void Connect() {
        consumer->SetProvider(&provider);
        view = dynamic_cast<TXcDataConsumerViewList*>(
            consumer->Extensions(consumer->IndexOfExtensionClass(XcDataConsumerViewListClass())));
        ASSERT_NE(view, nullptr);
    }

    std::vector<TRow> Rows() const {
        std::vector<TRow> rows;
        for (const TViewListItem& r : view->Rows())
            rows.push_back({r.ID, static_cast<int>(r.Flags & vlLevelMask), (r.Flags & vlExpanded) != 0,
                            (r.Flags & vlHasSubList) != 0, (r.Flags & vlHasChildren) != 0});
        return rows;
    }
    std::vector<String> IDs() const {
        std::vector<String> ids;
        for (const TViewListItem& r : view->Rows()) ids.push_back(r.ID);
        return ids;
    }

    TTestProvider provider{nullptr};
    TTestControl control{nullptr, {xcaList}};
    TXcDataConsumer* consumer = control.DataConsumer();
    TXcDataConsumerViewList* view = nullptr;
    std::vector<TDataConsumerChangeReason> changes;
};

TEST_F(DataViewListTest, TheRootsShowFirstMarkedWhereTheyHaveChildren) {
    Connect();
    EXPECT_EQ(Rows(), (std::vector<TRow>{{u"R0", 0, false, true, true},
                                         {u"R1", 0, false, true, true},
                                         {u"R2", 0, false, false, false}}));
    EXPECT_EQ(view->LevelIndent(), 16);
    EXPECT_EQ(provider.OpenAccesses(), 0);
}

TEST_F(DataViewListTest, TogglingShowsAndHidesExactlyTheRowsBelow) {
    Connect();
    view->ToggleItem(0);
    EXPECT_EQ(Rows(), (std::vector<TRow>{{u"R0", 0, true, true, true},
                                         {u"C00", 1, false, false, false},
                                         {u"C01", 1, false, true, true},
                                         {u"C02", 1, false, false, false},
                                         {u"R1", 0, false, true, true},
                                         {u"R2", 0, false, false, false}}));
    view->ToggleItem(2);
    EXPECT_EQ(IDs(), (std::vector<String>{u"R0", u"C00", u"C01", u"G010", u"G011", u"C02", u"R1", u"R2"}));
    view->ToggleItem(2);
    EXPECT_EQ(IDs(), (std::vector<String>{u"R0", u"C00", u"C01", u"C02", u"R1", u"R2"}));
    view->ToggleItem(2);
    view->ToggleItem(0);
    EXPECT_EQ(Rows(), (std::vector<TRow>{{u"R0", 0, false, true, true},
                                         {u"R1", 0, false, true, true},
                                         {u"R2", 0, false, false, false}}));
    view->ToggleItem(2);
    EXPECT_EQ(view->Count(), 3) << "a row without children does not open";
    EXPECT_EQ(changes.back(), ccrViewChanged);
}

TEST_F(DataViewListTest, ARebuildAnnouncedByTheProviderRebuildsTheRows) {
    Connect();
    view->ToggleItem(0);
    ASSERT_EQ(view->Count(), 6);
    provider.BeginChange(pcrRebuildView, nullptr);
    provider.EndChange(pcrRebuildView, nullptr);
    EXPECT_EQ(IDs(), (std::vector<String>{u"R0", u"R1", u"R2"})) << "as auto-expand 0 shows them";
    EXPECT_EQ(provider.OpenAccesses(), 0);
}

TEST_F(DataViewListTest, HiddenItemsGetNoRows) {
    RegisterXcCreators(THidingExtension::StaticClass(), XcCreatorsOf<THidingExtension>());
    provider.extensionClasses = {THidingExtension::StaticClass()};
    XcCreate<TInvisibleItem>(provider.ItemObject(u"C01"));
    Connect();
    EXPECT_EQ(IDs(), (std::vector<String>{u"R0", u"R2"}));
    view->ToggleItem(0);
    EXPECT_EQ(IDs(), (std::vector<String>{u"R0", u"C00", u"C02", u"R2"}));
}

TEST_F(DataViewListTest, RowsKnowTheirParentsSiblingsAndPlaces) {
    provider.AddItem(u"N", provider.Item(u"R2").get());
    Connect();
    view->SetAutoExpandLevel(-1);
    view->RebuildView();
    // R0 C00 C01 G010 G011 C02 R1 C10 R2 N
    ASSERT_EQ(view->Count(), 10);
    EXPECT_EQ(view->ItemParentIndex(0), -1);
    EXPECT_EQ(view->ItemParentIndex(4), 2);
    EXPECT_EQ(view->ItemParent(4)->ID(), u"C01");
    EXPECT_EQ(view->ChildIndexOfID(u"C02"), 2);
    EXPECT_EQ(view->ChildIndexOfID(u"c01"), 1);
    EXPECT_EQ(view->ChildIndexOfID(u"Nothing"), -1);
    EXPECT_EQ(view->ItemSiblingIndex(2), 5);
    EXPECT_EQ(view->ItemSiblingIndex(5), -1);
    EXPECT_EQ(view->ItemSibling(0)->ID(), u"R1");
    EXPECT_EQ(view->SubItemIndex(0, 2), 5);
    EXPECT_EQ(view->SubItemIndex(0, 3), -1);
    EXPECT_EQ(view->SubItemIndex(-1, 2), 8);
    EXPECT_EQ(view->SubItem(provider.Item(u"C01").get(), 1)->ID(), u"G011");
    EXPECT_EQ(view->SubItemIndex(1, 0), -1) << "a leaf has no children";
    EXPECT_EQ(view->ItemAt(3)->ID(), u"G010");
    EXPECT_EQ(view->IndexOfItem(provider.Item(u"N").get()), 9);

    EXPECT_EQ(view->ItemGroupInfo(1), std::vector<uint32_t>{1u});     // C00: R0 has a following root
    EXPECT_EQ(view->ItemGroupInfo(3), std::vector<uint32_t>{3u});     // G010: and C01 a following sibling
    EXPECT_EQ(view->ItemGroupInfo(9), std::vector<uint32_t>{0u});     // N: R2 is the last root
    EXPECT_EQ(view->ItemGroupInfo(0), std::vector<uint32_t>{});
    EXPECT_EQ(provider.OpenAccesses(), 0);
}

TEST_F(DataViewListTest, RowIndexesOutsideTheViewAreListErrors) {
    Connect();
    const std::function<void(int)> operations[] = {
        [&](int i) { view->ToggleItem(i); },       [&](int i) { view->ItemAt(i); },
        [&](int i) { view->ItemLevel(i); },        [&](int i) { view->ItemIsExpanded(i); },
        [&](int i) { view->ItemHasChildren(i); },  [&](int i) { view->ItemParentIndex(i); },
        [&](int i) { view->ItemSiblingIndex(i); }, [&](int i) { view->ItemGroupInfo(i); },
        [&](int i) { view->SubItemIndex(i, 0); },
    };
    for (const auto& operation : operations) {
        for (int index : {-2, 3}) {
            try {
                operation(index);
                ADD_FAILURE() << index;
            } catch (const EListError& e) {
                EXPECT_EQ(e.Message(), "List index out of bounds (" + String(std::to_string(index)) + ")");
            }
        }
    }
}

TEST_F(DataViewListTest, ExpandingTheTreeToAnItemOpensEveryRowAbove) {
    Connect();
    view->ExpandTreeTo(provider.Item(u"G011").get());
    EXPECT_EQ(IDs(), (std::vector<String>{u"R0", u"C00", u"C01", u"G010", u"G011", u"C02", u"R1", u"R2"}));
    EXPECT_TRUE(view->ItemIsExpanded(0));
    EXPECT_TRUE(view->ItemIsExpanded(2));
    EXPECT_EQ(provider.OpenAccesses(), 0);
}

TEST_F(DataViewListTest, TheViewShowsTheChildrenOfTheSelectedItem) {
    provider.extensionClasses = {TXcDataConsumerItemSelect::StaticClass()};
    Connect();
    IntfCast<IXcDataConsumerSelection>(static_cast<IXcDataConsumer*>(consumer))
        ->SetSelectedItem(provider.Item(u"R0").get());
    EXPECT_EQ(IDs(), (std::vector<String>{u"C00", u"C01", u"C02"}));
}

TEST_F(DataViewListTest, ANewLevelIndentIsASettingChangeTheSameOneNothing) {
    Connect();
    changes.clear();
    view->SetLevelIndent(16);
    EXPECT_TRUE(changes.empty());
    view->SetLevelIndent(20);
    EXPECT_EQ(changes, std::vector<TDataConsumerChangeReason>{ccrExtensionSettingChanged});
}

struct TPatchSetting {
    int autoExpandLevel;
    bool expandOnNewItem;
    friend std::ostream& operator<<(std::ostream& os, const TPatchSetting& s) {
        return os << "auto-expand " << s.autoExpandLevel << (s.expandOnNewItem ? ", expand on new item" : "");
    }
};

class DataViewListPatchTest : public DataViewListTest, public testing::WithParamInterface<TPatchSetting> {};

TEST_P(DataViewListPatchTest, AnnouncedAdditionsAndDeletionsLeaveTheRowsARebuildWouldShow) {
    Connect();
    view->SetAutoExpandLevel(GetParam().autoExpandLevel);
    view->SetExpandOnNewItem(GetParam().expandOnNewItem);
    view->RebuildView();
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"child of a middle item", [&] { provider.AddItem(u"G012", provider.Item(u"C01").get()); }},
        {"child of a leaf", [&] { provider.AddItem(u"N20", provider.Item(u"R2").get()); }},
        {"child of a leaf below", [&] { provider.AddItem(u"N000", provider.Item(u"C00").get()); }},
        {"new root", [&] { provider.AddItem(u"R3"); }},
        {"leaf", [&] { provider.DeleteItem(u"G010"); }},
        {"last child", [&] { provider.DeleteItem(u"C10"); }},
        {"item with children", [&] { provider.DeleteItem(u"C01"); }},
        {"root", [&] { provider.DeleteItem(u"R0"); }},
        {"cleared list", [&] { IntfCast<IXcDataItemsEditor>(provider.Item(u"R2"))->Clear(); }},
    };
    for (const auto& [name, step] : steps) {
        SCOPED_TRACE(name);
        step();
        const std::vector<TRow> patched = Rows();
        view->RebuildView();
        EXPECT_EQ(patched, Rows());
    }
    EXPECT_EQ(provider.OpenAccesses(), 0);
}

INSTANTIATE_TEST_SUITE_P(Settings, DataViewListPatchTest,
                         testing::Values(TPatchSetting{0, false}, TPatchSetting{-1, true}, TPatchSetting{1, false}));

} // namespace
