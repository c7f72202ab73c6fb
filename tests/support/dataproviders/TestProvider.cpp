#include "TestProvider.h"

#include "platform/rtl/UnitRegistry.h"

RTL_PUBLISHED_NONE(TTestItem);
RTL_PUBLISHED_NONE(TTestListEditor);
RTL_PUBLISHED_NONE(TTestItemsList);
RTL_PUBLISHED_NONE(TTestProvider);
RTL_PUBLISHED_NONE(TTestImageList);
RTL_PUBLISHED(TTestControl, c) { c.Property("DataConsumer", &TTestControl::DataConsumer); }

void TTestItem::InitExtensions() {
    XcCreate<TXcDataItemTextImpl>(this);
    XcCreate<TXcDataItemImageImpl>(this);
}

TIntfPtr<IXcDataItem> TTestListEditor::New() { return Add(XcCreate<TTestItem>(Items())); }

void TTestItemsList::InitExtensions() {
    XcCreate<TTestListEditor>(this);
    XcCreate<TXcCustomDataItemsTextRenderer>(this);
    XcCreate<TXcCustomDataItemsImages>(this);
}

TTestProvider::TTestProvider(TComponent* owner) : TImplements(owner) {
    rootItems_ = TIntfPtr<IXcDataItems>(XcCreate<TTestItemsList>(static_cast<IXcDataProvider*>(this)));
    for (const char* root : {"R0", "R1", "R2"}) AddItem(String(root));
    for (const char* child : {"C00", "C01", "C02"}) AddItem(String(child), Item(u"R0").get());
    for (const char* grandchild : {"G010", "G011"}) AddItem(String(grandchild), Item(u"C01").get());
    AddItem(u"C10", Item(u"R1").get());

    auto* roots = XcCreate<TXcDataContexts>(static_cast<IXcDataProvider*>(this), nullptr, nullptr);
    rootContexts_ = TIntfPtr<IXcDataContexts>(roots);
    roots->DoAddContext(XcCreate<TXcDataContext>(roots, u"First"));
    roots->DoAddContext(XcCreate<TXcDataContext>(roots, u"Second"));
    auto* children = XcCreate<TXcDataContexts>(static_cast<IXcDataProvider*>(this), nullptr, Context(u"Second").get());
    childContexts_ = TIntfPtr<IXcDataContexts>(children);
    children->DoAddContext(XcCreate<TXcDataContext>(children, u"Child"));
    announcements.clear();
}

TTestProvider::~TTestProvider() {
    BeginChange(pcrProviderDestroying, nullptr);
    EndChange(pcrProviderDestroying, nullptr);
    childContexts_.Reset();
    rootContexts_.Reset();
    rootItems_.Reset();
}

bool TTestProvider::GetInterface(const TGUID& iid, void** obj) {
    if (iid == IXcDataContexts::IID && rootContexts_) return rootContexts_->QueryInterface(iid, obj) == S_OK;
    if ((iid == IXcDataItems::IID || iid == IXcDataItemFinder::IID) && rootItems_)
        return rootItems_->QueryInterface(iid, obj) == S_OK;
    return TImplements::GetInterface(iid, obj);
}

void TTestProvider::RemoveListener(IXcDataProviderListener* listener) { std::erase(listeners_, listener); }

void TTestProvider::Announce(bool begin, TDataProviderChangeReason reason, IInterface* source) {
    announcements.push_back({begin, reason, source});
    for (IXcDataProviderListener* listener : std::vector(listeners_)) {
        if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) continue;
        if (begin) listener->ProviderChanging(this, reason, source);
        else listener->ProviderChanged(this, reason, source);
    }
}

void TTestProvider::BeginChange(TDataProviderChangeReason reason, IInterface* source) { Announce(true, reason, source); }

void TTestProvider::EndChange(TDataProviderChangeReason reason, IInterface* source) { Announce(false, reason, source); }

TIntfPtr<IXcDataConsumer> TTestProvider::CurrentConsumer() {
    return consumers_.empty() ? nullptr : consumers_.back();
}

TIntfPtr<IXcDataContext> TTestProvider::CurrentContext() { return contexts_.empty() ? nullptr : contexts_.back(); }

TIntfPtr<IXcDataItem> TTestProvider::Item(const String& id) {
    return IntfCast<IXcDataItemFinder>(rootItems_)->Find(id, true);
}

TXcBaseDataItem* TTestProvider::ItemObject(const String& id) {
    return dynamic_cast<TXcBaseDataItem*>(Item(id)->Implementer());
}

TIntfPtr<IXcDataItem> TTestProvider::AddItem(const String& id, IXcDataItem* parent) {
    TIntfPtr<IXcDataItems> list = rootItems_;
    if (parent && !Supports(parent, list)) {
        XcCreate<TTestItemsList>(parent); // held by the parent
        Supports(parent, list);
    }
    auto* item = XcCreate<TTestItem>(list.get());
    item->SetID(id);
    IntfCast<IXcDataItemText>(static_cast<IXcDataItem*>(item))->SetCaption(id);
    return IntfCast<IXcDataItemsEditor>(list)->Add(item);
}

void TTestProvider::DeleteItem(const String& id) {
    TIntfPtr<IXcDataItems> list;
    int index;
    {
        const TIntfPtr<IXcDataItem> item = Item(id); // must go before the item
        list = item->Items();
        index = item->Index();
    }
    IntfCast<IXcDataItemsEditor>(list)->Delete(index);
}

TIntfPtr<IXcDataContext> TTestProvider::Context(const String& path) { return rootContexts_->ContextByName(path); }

TTestControl::TTestControl(TComponent* owner, const std::vector<int>& attributes)
    : TComponent(owner), consumer_(XcCreate<TXcDataConsumer>(this, attributes)) {}

TTestControl::~TTestControl() { delete consumer_; }

void TTestControl::Loaded() {
    TComponent::Loaded();
    consumer_->ApplyFixups();
}

void DataProviderTest::SetUpTestSuite() {
    InitializeUnits();
    RegisterXcClass<TTestItem>();
    RegisterXcClass<TTestListEditor>();
    RegisterXcClass<TTestItemsList>();
    RegisterClasses({TTestProvider::StaticClass(), TTestImageList::StaticClass(), TTestControl::StaticClass()});
}

void DataProviderTest::TearDownTestSuite() { FinalizeUnits(); }

std::vector<String> IDsOf(IXcDataItems* list) {
    std::vector<String> ids;
    for (int i = 0; list && i < list->Count(); ++i) ids.push_back(list->Item(i)->ID());
    return ids;
}

String TextOf(IXcDataItem* item) { return IntfCast<IXcDataItemText>(item)->Caption(); }
