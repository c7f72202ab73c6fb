#include <gtest/gtest.h>

#include "TestProvider.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/Properties.h"
#include "platform/rtl/Streams.h"
#include "support/dataproviders/XcDataViewList.h"

namespace {

// A provider that keeps no contexts.
class TPlainProvider : public TTestProvider {
public:
    using TTestProvider::TTestProvider;
    bool GetInterface(const TGUID& iid, void** obj) override {
        if (iid == IXcDataContexts::IID) {
            *obj = nullptr;
            return false;
        }
        return TTestProvider::GetInterface(iid, obj);
    }
};

class DataConsumerTest : public DataProviderTest {
protected:
    DataConsumerTest() {
        provider.extensionClasses = {TXcDataConsumerItemSelect::StaticClass()};
        consumer->OnChanged = [this](TXcDataConsumer*, TDataConsumerChangeReason reason) { changes.push_back(reason); };
    }

    TXcDataConsumerItemSelect* Selection() {
        const int index = consumer->IndexOfExtensionClass(TXcDataConsumerItemSelect::StaticClass());
        return index < 0 ? nullptr : dynamic_cast<TXcDataConsumerItemSelect*>(consumer->Extensions(index));
    }
    String SelectedID() { return Selection() && Selection()->SelectedItem() ? Selection()->SelectedItem()->ID() : String(); }

    TRepaintCounter services;
    TAppServicesScope servicesScope{services};
    TTestProvider provider{nullptr};
    TTestControl control{nullptr};
    TXcDataConsumer* consumer = control.DataConsumer();
    std::vector<TDataConsumerChangeReason> changes;
};

template <class Fn>
String ConsumerError(Fn&& fn) {
    try {
        fn();
    } catch (const EXCLDataConsumer& e) {
        return e.Message();
    }
    return u"no error";
}

TEST_F(DataConsumerTest, AttributesAreKeptOnceAndNoExtensionsComeWithoutAProvider) {
    TTestControl list(nullptr, {xcaLabel, xcaLabel, xcaList});
    TXcDataConsumer* listConsumer = list.DataConsumer();
    EXPECT_TRUE(listConsumer->AttributeApplies(xcaLabel));
    EXPECT_TRUE(listConsumer->AttributeApplies(xcaList));
    EXPECT_FALSE(listConsumer->AttributeApplies(1));
    EXPECT_EQ(listConsumer->ExtensionCount(), 0);
    listConsumer->SetProvider(&provider);
    EXPECT_EQ(listConsumer->ExtensionCount(), 2) << "the provider's selection and the flat view";
    listConsumer->SetProvider(nullptr);
    EXPECT_EQ(listConsumer->ExtensionCount(), 0);
}

TEST_F(DataConsumerTest, TheFirstContextIsSelectedAndOnlyAnotherIsStored) {
    consumer->SetProvider(&provider);
    EXPECT_EQ(consumer->ContextName(), u"First");
    EXPECT_FALSE(IsStoredProp(consumer, "Context"));
    consumer->SetContextName(u"Second");
    EXPECT_EQ(consumer->ContextName(), u"Second");
    EXPECT_TRUE(IsStoredProp(consumer, "Context"));
    EXPECT_EQ(changes.back(), ccrContextChanged);
}

TEST_F(DataConsumerTest, ContextsMustBelongToTheProvider) {
    EXPECT_EQ(ConsumerError([&] { consumer->SetContextName(u"First"); }),
              u"You must specify a provider before setting the context");
    consumer->SetProvider(&provider);
    EXPECT_EQ(ConsumerError([&] { consumer->SetContextName(u"Nowhere"); }), u"Provider has no context named \"Nowhere\"");
    TTestProvider other(nullptr);
    EXPECT_EQ(ConsumerError([&] { consumer->SetContext(other.Context(u"Second").get()); }),
              u"The specified context is not part of the same provider");
    EXPECT_EQ(consumer->ContextName(), u"First");
    consumer->SetContextName(String());
    EXPECT_EQ(consumer->Context(), nullptr);

    TPlainProvider plain(nullptr);
    consumer->SetProvider(&plain);
    EXPECT_EQ(consumer->Context(), nullptr);
    EXPECT_EQ(ConsumerError([&] { consumer->SetContextName(u"First"); }), u"Provider does not support contexts");
}

TEST_F(DataConsumerTest, ContextAndItemWrittenWhileTheControlLoadsAreAppliedWhenItHasLoaded) {
    control.BeginLoading();
    consumer->SetContextName(u"Second");
    auto* selection = XcCreate<TXcDataConsumerItemSelect>(consumer); // as a stream makes it
    selection->SetItemID(u"G011");
    EXPECT_EQ(consumer->ContextName(), String());
    consumer->SetProvider(&provider);
    EXPECT_EQ(Selection(), selection) << "kept for its fixup";
    control.EndLoading();
    EXPECT_EQ(consumer->ContextName(), u"Second");
    EXPECT_EQ(SelectedID(), u"G011");
    EXPECT_FALSE(consumer->IsLoading());
    EXPECT_EQ(provider.OpenAccesses(), 0);
}

TEST_F(DataConsumerTest, AControlReadFromAStreamFindsItsProviderContextAndItem) {
    TComponent form(nullptr);
    form.SetName(u"Form");
    auto* source = new TTestProvider(&form);
    source->SetName(u"P");
    source->extensionClasses = provider.extensionClasses;
    auto* sourceControl = new TTestControl(&form);
    sourceControl->SetName(u"Control");
    TXcDataConsumer* sourceConsumer = sourceControl->DataConsumer();
    sourceConsumer->SetProvider(source);
    sourceConsumer->SetContextName(u"Second");
    IntfCast<IXcDataConsumerSelection>(static_cast<IXcDataConsumer*>(sourceConsumer))
        ->SetSelectedItem(source->Item(u"C10").get());
    TBytesStream stream;
    WriteComponent(stream, &form);
    delete sourceControl;
    delete source;

    RegisterClass(TComponent::StaticClass());
    stream.SetPosition(0);
    TComponent copy(nullptr);
    ReadComponent(stream, &copy);
    auto* readProvider = dynamic_cast<TTestProvider*>(copy.FindComponent(u"P"));
    auto* readControl = dynamic_cast<TTestControl*>(copy.FindComponent(u"Control"));
    ASSERT_TRUE(readProvider && readControl);
    TXcDataConsumer* readConsumer = readControl->DataConsumer();
    EXPECT_EQ(readConsumer->Provider().get(), static_cast<IXcDataProvider*>(readProvider));
    EXPECT_EQ(readConsumer->ContextName(), u"Second");
    const auto selection = IntfCast<IXcDataConsumerSelection>(static_cast<IXcDataConsumer*>(readConsumer));
    ASSERT_NE(selection->SelectedItem(), nullptr);
    EXPECT_EQ(selection->SelectedItem()->ID(), u"C10");
    EXPECT_EQ(selection->SelectedItem(), readProvider->Item(u"C10"));
}

TEST_F(DataConsumerTest, AnItemNeedsAProviderThatHasIt) {
    auto* selection = XcCreate<TXcDataConsumerItemSelect>(consumer);
    EXPECT_EQ(ConsumerError([&] { selection->SetItemID(u"R0"); }), u"You must specify a provider before setting the item");
    consumer->SetProvider(&provider);
    selection = Selection();
    ASSERT_NE(selection, nullptr);
    EXPECT_EQ(ConsumerError([&] { selection->SetItemID(u"Nowhere"); }), u"Item not found in the selected context");
    selection->SetItemID(u"G010");
    EXPECT_EQ(SelectedID(), u"G010");
    selection->SetItemID(String());
    EXPECT_EQ(SelectedID(), String());
    EXPECT_EQ(provider.OpenAccesses(), 0);
}

TEST_F(DataConsumerTest, AProviderGoingAwayIsDropped) {
    auto gone = std::make_unique<TTestProvider>(nullptr);
    consumer->SetProvider(gone.get());
    gone.reset();
    EXPECT_EQ(consumer->Provider(), nullptr);
    EXPECT_EQ(consumer->ExtensionCount(), 0);
    EXPECT_EQ(changes.back(), ccrProviderChanged);
}

TEST_F(DataConsumerTest, ARebuildAnnouncementChangesTheViewOtherAnnouncementsTheData) {
    consumer->SetProvider(&provider);
    changes.clear();
    provider.BeginChange(pcrRebuildView, nullptr);
    provider.EndChange(pcrRebuildView, nullptr);
    EXPECT_EQ(changes, std::vector<TDataConsumerChangeReason>{ccrViewChanged});
    changes.clear();
    IntfCast<IXcDataItemText>(provider.Item(u"R1"))->SetCaption(u"changed");
    EXPECT_EQ(changes, std::vector<TDataConsumerChangeReason>{ccrProviderDataChanged});
}

TEST_F(DataConsumerTest, DeletingTheSelectedItemOrAnAncestorClearsTheSelection) {
    consumer->SetProvider(&provider);
    Selection()->SetItemID(u"G010");
    provider.DeleteItem(u"R1");
    EXPECT_EQ(SelectedID(), u"G010");
    provider.DeleteItem(u"C01");
    EXPECT_EQ(SelectedID(), String());
    Selection()->SetItemID(u"C02");
    provider.DeleteItem(u"C02");
    EXPECT_EQ(SelectedID(), String());
}

TEST_F(DataConsumerTest, EveryChangeRepaintsTheControl) {
    consumer->SetProvider(&provider);
    consumer->SetContextName(u"Second");
    IntfCast<IXcDataItemText>(provider.Item(u"R1"))->SetCaption(u"changed");
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(services.repaints[&control], static_cast<int>(changes.size()));
}

TEST_F(DataConsumerTest, ExtensionHandlersMayReplaceOrRefuseAClass) {
    std::vector<String> made;
    consumer->OnBeforeCreateExtension = [](TXcDataConsumer*, TClass& cls) {
        if (cls == TXcDataConsumerItemSelect::StaticClass()) cls = nullptr;
    };
    consumer->OnAfterCreateExtension = [&](TXcDataConsumer*, TAggregatedPersistentEx* e) { made.push_back(e->ClassName()); };
    consumer->SetProvider(&provider);
    EXPECT_EQ(consumer->ExtensionCount(), 0);
    consumer->SetProvider(nullptr);
    consumer->OnBeforeCreateExtension = nullptr;
    consumer->SetProvider(&provider);
    EXPECT_EQ(made, std::vector<String>{u"TXcDataConsumerItemSelect"});
}

TEST_F(DataConsumerTest, AReplacedProviderTakesTheSelectionAlongButNotTheFlatView) {
    TTestControl list(nullptr, {xcaList});
    TXcDataConsumer* listConsumer = list.DataConsumer();
    listConsumer->SetProvider(&provider);
    auto* view = listConsumer->Extensions(listConsumer->IndexOfExtensionClass(XcDataConsumerViewListClass()));
    auto* selection = dynamic_cast<TXcDataConsumerItemSelect*>(
        listConsumer->Extensions(listConsumer->IndexOfExtensionClass(TXcDataConsumerItemSelect::StaticClass())));
    selection->SetItemID(u"R1");
    std::vector<String> made;
    listConsumer->OnAfterCreateExtension = [&](TXcDataConsumer*, TAggregatedPersistentEx* e) {
        made.push_back(e->ClassName());
    };
    TTestProvider other(nullptr);
    other.extensionClasses = provider.extensionClasses;
    listConsumer->SetProvider(&other);
    EXPECT_EQ(listConsumer->Extensions(listConsumer->IndexOfExtensionClass(XcDataConsumerViewListClass())), view);
    EXPECT_EQ(listConsumer->ExtensionCount(), 2);
    EXPECT_EQ(made, std::vector<String>{u"TXcDataConsumerItemSelect"}) << "only the selection is made anew";
    selection = dynamic_cast<TXcDataConsumerItemSelect*>(
        listConsumer->Extensions(listConsumer->IndexOfExtensionClass(TXcDataConsumerItemSelect::StaticClass())));
    ASSERT_NE(selection, nullptr);
    EXPECT_EQ(selection->SelectedItem(), nullptr) << "nothing of the old provider stays selected";
    EXPECT_EQ(provider.OpenAccesses(), 0);
    EXPECT_EQ(other.OpenAccesses(), 0);
}

TEST_F(DataConsumerTest, ProviderAccessWithoutAProviderIsAnAssertion) {
    try {
        consumer->BeginProviderAccess();
        FAIL() << "no assertion";
    } catch (const EAssertionFailed& e) {
        EXPECT_TRUE(e.FileName().ends_with(u"XcDataConsumer.cpp")) << e.FileName();
        EXPECT_GT(e.LineNumber(), 0);
    }
}

TEST_F(DataConsumerTest, AConsumerThatGoesLeavesItsProvider) {
    {
        TTestControl shortLived(nullptr);
        shortLived.DataConsumer()->SetProvider(&provider);
    }
    IntfCast<IXcDataItemText>(provider.Item(u"R1"))->SetCaption(u"nobody listens");
    EXPECT_EQ(provider.OpenAccesses(), 0);
}

} // namespace
