#include <gtest/gtest.h>

#include <functional>

#include "TestProvider.h"

namespace {

using DataExtensionsTest = DataProviderTest;

// The reasons and whether each came before or after the change.
std::vector<std::pair<bool, TDataProviderChangeReason>> Reasons(const TTestProvider& provider) {
    std::vector<std::pair<bool, TDataProviderChangeReason>> reasons;
    for (const TAnnouncement& a : provider.announcements) reasons.emplace_back(a.Begin, a.Reason);
    return reasons;
}

std::vector<std::pair<bool, TDataProviderChangeReason>> BeginAndEnd(TDataProviderChangeReason reason) {
    return {{true, reason}, {false, reason}};
}

class TReadOnlyItem : public TTestItem {
    RTL_CLASS(TReadOnlyItem, TTestItem);

public:
    using TTestItem::TTestItem;
    bool IsDeletable() override { return false; }
};

// Paints itself.
class TSelfPainter : public TImplements<TXcDataItemAggregatedObject, IXcDataItemPainter> {
    RTL_CLASS(TSelfPainter, TXcDataItemAggregatedObject);

public:
    using TImplements::TImplements;
    void Draw(TXcDataCanvas& canvas, const TRect& rect, TXcDrawState) override { canvas.TextRect(rect, 0, 0, u"self"); }
    TSize Measure(TXcDataCanvas&) override { return {1, 2}; }
};

// A list whose items live by their references.
class TCountingList : public TTestItemsList {
    RTL_CLASS(TCountingList, TTestItemsList);

public:
    using TTestItemsList::TTestItemsList;
    bool IsDynamic() override { return true; }
};

RTL_PUBLISHED_NONE(TReadOnlyItem);
RTL_PUBLISHED_NONE(TSelfPainter);
RTL_PUBLISHED_NONE(TCountingList);

TEST_F(DataExtensionsTest, ACaptionSetTwiceIsAnnouncedOnce) {
    TTestProvider provider(nullptr);
    const auto text = IntfCast<IXcDataItemText>(provider.Item(u"R1"));
    text->SetCaption(u"new");
    text->SetCaption(u"new");
    EXPECT_EQ(Reasons(provider), BeginAndEnd(pcrItemChanged));
    EXPECT_EQ(provider.announcements[0].Source, static_cast<IInterface*>(provider.Item(u"R1").get()));
    text->SetCaption(u"NEW");
    EXPECT_EQ(provider.announcements.size(), 4u) << "the comparison heeds case";
}

TEST_F(DataExtensionsTest, ContextTextsFallBackToTheAncestorsAndRevertOnlyWhereStored) {
    TTestProvider provider(nullptr);
    TXcBaseDataItem* object = provider.ItemObject(u"R2");
    XcCreate<TXcDataItemContextTextImpl>(object);
    const TIntfPtr<IXcDataItem> item = provider.Item(u"R2");
    const auto text = IntfCast<IXcDataItemText>(item);
    text->SetCaption(u"plain");
    const TIntfPtr<IXcDataContext> second = provider.Context(u"Second");
    const TIntfPtr<IXcDataContext> child = provider.ChildContexts()->Context(0);

    provider.EnterContext(second.get());
    text->SetCaption(u"for Second");
    provider.LeaveContext();
    EXPECT_EQ(text->Caption(), u"plain");

    provider.EnterContext(child.get());
    EXPECT_EQ(text->Caption(), u"for Second");
    EXPECT_TRUE(object->IsEqualToAncestor());
    provider.announcements.clear();
    object->RevertToAncestor();
    EXPECT_TRUE(provider.announcements.empty());
    EXPECT_EQ(text->Caption(), u"for Second");
    provider.LeaveContext();

    provider.EnterContext(second.get());
    EXPECT_FALSE(object->IsEqualToAncestor());
    object->RevertToAncestor();
    EXPECT_EQ(Reasons(provider), BeginAndEnd(pcrItemChanged));
    EXPECT_EQ(text->Caption(), u"plain");
    provider.LeaveContext();
}

TEST_F(DataExtensionsTest, ADeletedContextTakesItsTextsAlong) {
    TTestProvider provider(nullptr);
    XcCreate<TXcDataItemContextTextImpl>(provider.ItemObject(u"R2"));
    const auto text = IntfCast<IXcDataItemText>(provider.Item(u"R2"));
    text->SetCaption(u"plain");
    const TIntfPtr<IXcDataContext> first = provider.Context(u"First");
    provider.EnterContext(first.get());
    text->SetCaption(u"for First");
    auto* contexts = dynamic_cast<TXcBaseDataContexts*>(provider.Context(u"Second")->Contexts().get());
    contexts->DoRemoveContext(first.get());
    EXPECT_EQ(text->Caption(), u"plain");
    provider.LeaveContext();
}

TEST_F(DataExtensionsTest, ABlockableTextIsEditableUnlessReadOnly) {
    TTestProvider provider(nullptr);
    auto* blockable = XcCreate<TXcDataItemBlockableTextImpl>(provider.ItemObject(u"R0"));
    const auto text = IntfCast<IXcDataItemText>(provider.Item(u"R0"));
    EXPECT_TRUE(text->Editable());
    blockable->SetReadOnly(true);
    blockable->SetReadOnly(true);
    EXPECT_FALSE(text->Editable());
    EXPECT_EQ(Reasons(provider), BeginAndEnd(pcrItemChanged));
}

TEST_F(DataExtensionsTest, ThePainterMeasuresTheSampleForMinusOneAndRefusesIndexesBeyondTheList) {
    TTestProvider provider(nullptr);
    TCellCanvas canvas;
    const auto painter = IntfCast<IXcDataItemsPainter>(provider.RootItems());
    EXPECT_EQ(painter->MeasureItemByIndex(canvas, -1), (TSize{20 * TCellCanvas::CellWidth, TCellCanvas::CellHeight}));
    EXPECT_EQ(painter->MeasureItemByIndex(canvas, 1), (TSize{2 * TCellCanvas::CellWidth, TCellCanvas::CellHeight}));
    for (int index : {3, -2}) {
        try {
            painter->MeasureItemByIndex(canvas, index);
            ADD_FAILURE() << index;
        } catch (const EXCLDataItems& e) {
            EXPECT_EQ(e.Message(), "List index out of bounds (" + String(std::to_string(index)) + ")");
        }
        EXPECT_THROW(painter->DrawItemByIndex(canvas, TRect{}, 0, index), EXCLDataItems);
    }
}

TEST_F(DataExtensionsTest, ItemsAreDrawnAsTheirTextsOrByThemselves) {
    TTestProvider provider(nullptr);
    TCellCanvas canvas;
    const auto painter = IntfCast<IXcDataItemsPainter>(provider.RootItems());
    const TRect rect{10, 20, 60, 40};
    painter->DrawItemByIndex(canvas, rect, 0, 0);
    auto* silent = XcCreate<TXcBaseDataItem>(provider.RootItems().get());
    IntfCast<IXcDataItemsEditor>(provider.RootItems())->Add(silent);
    painter->DrawItemByIndex(canvas, rect, 0, 3);
    XcCreate<TSelfPainter>(provider.ItemObject(u"R1"));
    painter->DrawItemByIndex(canvas, rect, 0, 1);
    ASSERT_EQ(canvas.written.size(), 3u);
    EXPECT_EQ(canvas.written[0].Text, u"R0");
    EXPECT_EQ(canvas.written[0].Rect, rect);
    EXPECT_EQ(canvas.written[0].X, 10);
    EXPECT_EQ(canvas.written[0].Y, 20);
    EXPECT_EQ(canvas.written[1].Text, u"(item does not support the IXcDataItemText interface)");
    EXPECT_EQ(canvas.written[2].Text, u"self");
    EXPECT_EQ(painter->MeasureItemByIndex(canvas, 1), (TSize{1, 2}));
}

TEST_F(DataExtensionsTest, TheEditorAnnouncesWhatItChanges) {
    TTestProvider provider(nullptr);
    const TIntfPtr<IXcDataItems> list = IntfCast<IXcDataItems>(provider.Item(u"R0"));
    const auto editor = IntfCast<IXcDataItemsEditor>(list);

    // The items are not counted: no reference may outlive them.
    TIntfPtr<IXcDataItem> removed = editor->New();
    EXPECT_EQ(Reasons(provider), BeginAndEnd(pcrItemAdded));
    EXPECT_EQ(provider.announcements[0].Source, static_cast<IInterface*>(list.get()));
    EXPECT_EQ(provider.announcements[1].Source, static_cast<IInterface*>(removed.get()));
    EXPECT_EQ(removed->Index(), 3);

    provider.announcements.clear();
    IInterface* removedSource = removed.get();
    editor->Remove(removed);
    EXPECT_EQ(removed, nullptr);
    EXPECT_EQ(Reasons(provider), BeginAndEnd(pcrItemDeleted));
    EXPECT_EQ(provider.announcements[0].Source, removedSource);
    EXPECT_EQ(provider.announcements[1].Source, nullptr);
    EXPECT_EQ(list->Count(), 3);

    provider.announcements.clear();
    editor->Delete(7);
    EXPECT_TRUE(provider.announcements.empty()) << "no item at that index";
    editor->Clear();
    EXPECT_EQ(Reasons(provider), BeginAndEnd(pcrItemsChanged));
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(provider.Item(u"G010"), nullptr);
}

TEST_F(DataExtensionsTest, AnItemThatIsNotDeletableStays) {
    TTestProvider provider(nullptr);
    const auto editor = IntfCast<IXcDataItemsEditor>(provider.RootItems());
    TIntfPtr<IXcDataItem> item = editor->Add(XcCreate<TReadOnlyItem>(provider.RootItems().get()));
    for (const auto& remove : std::vector<std::function<void()>>{[&] { editor->Delete(3); },
                                                                  [&] { editor->Remove(item); }}) {
        try {
            remove();
            ADD_FAILURE() << "deleted";
        } catch (const EXCLDataItems& e) {
            EXPECT_EQ(e.Message(), u"Item cannot be deleted");
        }
    }
    EXPECT_EQ(provider.RootItems()->Count(), 4);
    EXPECT_NE(item, nullptr);
}

TEST_F(DataExtensionsTest, RemovingAnItemThatOthersHoldLeavesItInTheList) {
    TTestProvider provider(nullptr);
    const TIntfPtr<IXcDataItems> list(XcCreate<TCountingList>(static_cast<IXcDataProvider*>(&provider)));
    const auto editor = IntfCast<IXcDataItemsEditor>(list);
    TIntfPtr<IXcDataItem> held = editor->New();
    TIntfPtr<IXcDataItem> callers = held;
    provider.announcements.clear();
    editor->Remove(callers);
    EXPECT_EQ(callers, nullptr);
    EXPECT_TRUE(provider.announcements.empty());
    EXPECT_EQ(list->Count(), 1);
    held.Reset();
    EXPECT_EQ(list->Count(), 0) << "the last reference took it along";

    TIntfPtr<IXcDataItem> only = editor->New();
    provider.announcements.clear();
    editor->Remove(only);
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(Reasons(provider), BeginAndEnd(pcrItemDeleted));
}

TEST_F(DataExtensionsTest, ImageChangesAnnounceTheItemOrTheList) {
    TTestProvider provider(nullptr);
    const TIntfPtr<IXcDataItem> item = provider.Item(u"C10");
    const TIntfPtr<IXcDataItems> list = item->Items();
    const auto glyph = IntfCast<IXcDataItemGlyph>(item);
    const auto images = IntfCast<IXcDataItemsImageLists>(list);
    TTestImageList imageList(nullptr);
    struct TCase {
        const char* name;
        std::function<void()> change;
        std::vector<std::pair<bool, TDataProviderChangeReason>> reasons;
        IInterface* source;
    };
    const TCase cases[] = {
        {"image index", [&] { glyph->SetImageIndex(4); }, BeginAndEnd(pcrItemChanged), item.get()},
        {"same image index", [&] { glyph->SetImageIndex(4); }, {}, nullptr},
        {"selected index", [&] { glyph->SetSelectedIndex(1); }, BeginAndEnd(pcrItemChanged), item.get()},
        {"alignment", [&] { glyph->SetAlignment(taRightJustify); }, BeginAndEnd(pcrItemChanged), item.get()},
        {"images", [&] { images->SetImages(&imageList); }, BeginAndEnd(pcrItemsChanged), list.get()},
        {"hot images", [&] { images->SetHotImages(&imageList); }, BeginAndEnd(pcrItemsChanged), list.get()},
        {"same disabled images", [&] { images->SetDisabledImages(nullptr); }, {}, nullptr},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        provider.announcements.clear();
        c.change();
        EXPECT_EQ(Reasons(provider), c.reasons);
        for (const TAnnouncement& a : provider.announcements) EXPECT_EQ(a.Source, c.source);
    }
}

TEST_F(DataExtensionsTest, AFreedImageListIsForgotten) {
    TTestProvider provider(nullptr);
    const auto images = IntfCast<IXcDataItemsImageLists>(provider.RootItems());
    auto imageList = std::make_unique<TTestImageList>(nullptr);
    images->SetImages(imageList.get());
    images->SetDisabledImages(imageList.get());
    imageList.reset();
    EXPECT_EQ(images->Images(), nullptr);
    EXPECT_EQ(images->DisabledImages(), nullptr);
}

} // namespace
