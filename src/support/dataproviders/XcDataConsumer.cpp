#include "support/dataproviders/XcDataConsumer.h"

#include <algorithm>
#include <utility>

#include "platform/rtl/AppServices.h"
#include "platform/rtl/Component.h"
#include "support/dataproviders/XcDataItems.h"
#include "support/dataproviders/XcDataProviderTexts.h"

const TTypeInfo* XcDataContextIDType() {
    static const TTypeInfo* type = NamedTypeInfo(TypeInfo<String>(), u"TXcDataContextID");
    return type;
}

RTL_PUBLISHED(TXcDataConsumer, c) {
    c.Property("Provider", &TXcDataConsumer::Provider, &TXcDataConsumer::SetProvider);
    c.Property("Context", &TXcDataConsumer::ContextName, &TXcDataConsumer::SetContextName)
        .OfType(XcDataContextIDType())
        .Stored(&TXcDataConsumer::IsContextStored);
}
RTL_PUBLISHED_NONE(TXcDataConsumerAggregatedObject);
RTL_PUBLISHED(TXcDataConsumerItemSelect, c) {
    c.Property("Item", &TXcDataConsumerItemSelect::ItemID, &TXcDataConsumerItemSelect::SetItemID)
        .OfType(XcDataItemIDType());
}

TXcDataConsumer::TXcDataConsumer(TComponent* owner, const std::vector<int>& attributes) : owner_(owner) {
    for (int attribute : attributes)
        if (!AttributeApplies(attribute)) attributes_.push_back(attribute);
}

TXcDataConsumer::~TXcDataConsumer() {
    OnChanging = nullptr;
    OnChanged = nullptr;
    OnProviderChanging = nullptr;
    OnProviderChanged = nullptr;
    OnBeforeCreateExtension = nullptr;
    OnAfterCreateExtension = nullptr;
    SetProvider(nullptr);
    ClearExtensions();
}

bool TXcDataConsumer::AttributeApplies(int attribute) {
    return std::find(attributes_.begin(), attributes_.end(), attribute) != attributes_.end();
}

bool TXcDataConsumer::OwnerLoading() const { return owner_ && owner_->ComponentState().Contains(csLoading); }

bool TXcDataConsumer::ExtensionFixupsNeeded() {
    if (needFixups_ && !OwnerLoading()) return true;
    for (int i = 0; i < ExtensionCount(); ++i)
        if (auto* extension = dynamic_cast<TXcDataConsumerAggregatedObject*>(Extensions(i));
            extension && extension->streamedWithoutProvider_)
            return true;
    return false;
}

bool TXcDataConsumer::ContextFixupNeeded() const { return !pendingContext_.empty() && !OwnerLoading(); }

bool TXcDataConsumer::IsLoading() { return ExtensionFixupsNeeded() || ContextFixupNeeded(); }

template <class Call>
void TXcDataConsumer::ForEachExtension(Call call) {
    for (int i = 0; i < ExtensionCount(); ++i)
        if (auto* extension = dynamic_cast<TXcDataConsumerAggregatedObject*>(Extensions(i))) call(*extension);
}

template <class Keep, class Replaced>
void TXcDataConsumer::KeepExtensions(Keep keep, Replaced replaced) {
    for (int i = ExtensionCount(); i-- > 0;) {
        if (i >= ExtensionCount()) continue;
        auto* extension = dynamic_cast<TXcDataConsumerAggregatedObject*>(Extensions(i));
        if (!extension) continue;
        if (extension->streamedWithoutProvider_ || keep(*extension)) replaced(*extension);
        else RemoveExtension(extension);
    }
}

void TXcDataConsumer::RunExtensionFixups() {
    needFixups_ = false;
    ForEachExtension([&](TXcDataConsumerAggregatedObject& extension) {
        extension.Fixup();
        if (provider_) extension.streamedWithoutProvider_ = false;
    });
}

void TXcDataConsumer::SetProvider(const TIntfPtr<IXcDataProvider>& value) {
    if (value == provider_) return;
    Changing(ccrProviderChanged);
    if (provider_) provider_->RemoveListener(this);
    const bool pending = FixupsPending();
    if (!pending) ForEachExtension([](TXcDataConsumerAggregatedObject& e) { e.ProviderReplacing(); });
    provider_ = value;
    context_ = nullptr; // a context of the old provider
    if (provider_) provider_->AddListener(this);
    if (ContextFixupNeeded()) {
        SetContextName(std::exchange(pendingContext_, String()));
    } else {
        TIntfPtr<IXcDataContexts> contexts;
        if (provider_ && Supports(provider_, contexts) && contexts->Count() > 0) context_ = contexts->Context(0);
    }
    if (!pending)
        KeepExtensions([](TXcDataConsumerAggregatedObject& e) { return e.KeepOnProviderChange(); },
                       [](TXcDataConsumerAggregatedObject& e) { e.ProviderReplaced(); });
    RefreshExtensions();
    if (!IsLoading())
        for (const auto& server : std::vector(servers_)) server->ItemChanged(this, nullptr);
    if (ExtensionFixupsNeeded()) RunExtensionFixups();
    ViewChange(nullptr);
    Changed(ccrProviderChanged);
}

String TXcDataConsumer::ContextName() { return context_ ? context_->Name() : String(); }

void TXcDataConsumer::SetContextName(const String& name) {
    if (name == ContextName()) return;
    if (!provider_) {
        if (OwnerLoading()) {
            pendingContext_ = name;
            return;
        }
        throw EXCLDataConsumer(LoadResString(RsXcContextWithoutProvider));
    }
    if (name.empty()) return SetContext(nullptr);
    TIntfPtr<IXcDataContexts> contexts;
    if (!Supports(provider_, contexts)) throw EXCLDataConsumer(LoadResString(RsXcNoContextSupport));
    const TIntfPtr<IXcDataContext> context = contexts->ContextByName(name);
    if (!context) throw EXCLDataConsumer(Format(LoadResString(RsXcNoContextNamed), {name}));
    SetContext(context.get());
}

void TXcDataConsumer::SetContext(IXcDataContext* context) {
    if (context == context_.get()) return;
    if (context) {
        const TIntfPtr<IXcDataContexts> list = context->Contexts();
        const TIntfPtr<IXcDataProvider> provider = list ? list->Provider() : nullptr;
        if (provider != provider_) throw EXCLDataConsumer(LoadResString(RsXcContextOfOtherProvider));
    }
    Changing(ccrContextChanged);
    ForEachExtension([](TXcDataConsumerAggregatedObject& e) { e.ContextReplacing(); });
    context_ = context;
    KeepExtensions([](TXcDataConsumerAggregatedObject& e) { return e.KeepOnContextChange(); },
                   [](TXcDataConsumerAggregatedObject& e) { e.ContextReplaced(); });
    RefreshExtensions();
    Changed(ccrContextChanged);
}

bool TXcDataConsumer::IsContextStored() const {
    TIntfPtr<IXcDataContexts> contexts;
    return Supports(provider_, contexts) && contexts->Count() > 0 && contexts->Context(0) != context_;
}

void TXcDataConsumer::BeginProviderAccess() {
    RTL_ASSERT(provider_ != nullptr, "BeginProviderAccess without a provider");
    provider_->AttachConsumer(this);
    try {
        provider_->EnterContext(context_.get());
    } catch (...) {
        provider_->DetachConsumer();
        throw;
    }
}

void TXcDataConsumer::EndProviderAccess() {
    RTL_ASSERT(provider_ != nullptr, "EndProviderAccess without a provider");
    const TIntfPtr<IXcDataConsumer> current = provider_->CurrentConsumer();
    provider_->DetachConsumer();
    try {
        provider_->LeaveContext();
    } catch (...) {
        provider_->AttachConsumer(current.get());
        throw;
    }
}

void TXcDataConsumer::ApplyFixups() {
    if (!pendingContext_.empty()) SetContextName(std::exchange(pendingContext_, String()));
    if (needFixups_) RunExtensionFixups();
}

void TXcDataConsumer::ViewChange(TXcDataConsumerAggregatedObject* origin) {
    try {
        ForEachExtension([&](TXcDataConsumerAggregatedObject& e) {
            if (&e != origin) e.ViewChanged(origin);
        });
    } catch (...) {
        Changed(ccrViewChanged);
        throw;
    }
    Changed(ccrViewChanged);
}

void TXcDataConsumer::Changing(TDataConsumerChangeReason reason) {
    if (OnChanging) OnChanging(this, reason);
}

void TXcDataConsumer::Changed(TDataConsumerChangeReason reason) {
    // A control that is being destroyed is not painted any more.
    if (owner_ && !owner_->ComponentState().Contains(csDestroying)) AppServices().RepaintControl(owner_);
    if (OnChanged) OnChanged(this, reason);
}

TAggregatedPersistentEx* TXcDataConsumer::MakeExtension(TClass cls) {
    if (OnBeforeCreateExtension) OnBeforeCreateExtension(this, cls);
    return cls ? CreateXcExtension(cls, this) : nullptr;
}

void TXcDataConsumer::RefreshExtensions() {
    if (!provider_) return ClearExtensions();
    BeginProviderAccess();
    try {
        for (TClass cls : provider_->ExtensionClasses()) {
            if (IndexOfExtensionClass(cls) >= 0) continue;
            if (TAggregatedPersistentEx* extension = MakeExtension(cls); extension && OnAfterCreateExtension)
                OnAfterCreateExtension(this, extension);
        }
    } catch (...) {
        EndProviderAccess();
        throw;
    }
    EndProviderAccess();
    if (AttributeApplies(xcaList) && IndexOfExtensionClass(XcDataConsumerViewListClass()) < 0)
        if (TAggregatedPersistentEx* extension = MakeExtension(XcDataConsumerViewListClass())) ExtensionAdded(extension);
}

void TXcDataConsumer::ExtensionAdded(TAggregatedPersistentEx* extension) {
    if (OnAfterCreateExtension) OnAfterCreateExtension(this, extension);
    TIntfPtr<IXcDataConsumerFlatView> view;
    if (Supports(static_cast<TObject*>(extension), view)) view->RebuildView();
}

void TXcDataConsumer::ProviderChanging(IXcDataProvider* provider, TDataProviderChangeReason reason,
                                       IInterface* source) {
    if (OnProviderChanging) OnProviderChanging(provider, reason, source);
    ForEachExtension([&](TXcDataConsumerAggregatedObject& e) { e.DataChanging(provider, reason, source); });
    if (reason == pcrProviderDestroying) SetProvider(nullptr);
}

void TXcDataConsumer::ProviderChanged(IXcDataProvider* provider, TDataProviderChangeReason reason,
                                      IInterface* source) {
    if (OnProviderChanged) OnProviderChanged(provider, reason, source);
    ForEachExtension([&](TXcDataConsumerAggregatedObject& e) { e.DataChanged(provider, reason, source); });
    if (reason == pcrRebuildView) ViewChange(nullptr);
    else Changed(ccrProviderDataChanged);
}

void TXcDataConsumer::ItemChanged(IXcDataConsumerLinkNotify* server, IXcDataItem* item) {
    ForEachExtension([&](TXcDataConsumerAggregatedObject& e) { e.ServerItemChanged(server, item); });
}

void TXcDataConsumer::LinkAdded(IXcDataConsumerLinkNotify* server) { servers_.emplace_back(server); }

void TXcDataConsumer::LinkRemoved(IXcDataConsumerLinkNotify* server) {
    const auto it = std::find(servers_.begin(), servers_.end(), TIntfPtr<IXcDataConsumerLinkNotify>(server));
    if (it != servers_.end()) servers_.erase(it);
}

// --- Extension base ---------------------------------------------------------

bool TXcDataConsumerAggregatedObject::CanExtend(TExtensibleInterfacedPersistent* owner) const {
    return dynamic_cast<TXcDataConsumer*>(owner) != nullptr;
}

TXcDataConsumer* TXcDataConsumerAggregatedObject::Consumer() const { return dynamic_cast<TXcDataConsumer*>(Owner()); }

void TXcDataConsumerAggregatedObject::Changed(TDataConsumerChangeReason reason) {
    streamedWithoutProvider_ = !Consumer()->Provider();
    Consumer()->Changed(reason);
}

void TXcDataConsumerAggregatedObject::NotifyViewChanged() { Consumer()->ViewChange(this); }

void TXcDataConsumerAggregatedObject::NotifyFixups() {
    Consumer()->needFixups_ = true;
    streamedWithoutProvider_ = true;
}

TIntfPtr<IXcDataItems> TXcDataConsumerAggregatedObject::RootItems() const {
    TXcDataConsumer* consumer = Consumer();
    TIntfPtr<IXcDataConsumerSelection> selection;
    if (Supports(static_cast<IXcDataConsumer*>(consumer), selection))
        if (const TIntfPtr<IXcDataItem> selected = selection->SelectedItem()) {
            TIntfPtr<IXcDataItems> subList;
            Supports(selected, subList);
            return subList;
        }
    const TIntfPtr<IXcDataProvider> provider = consumer->Provider();
    return provider ? provider->RootItems() : nullptr;
}

// --- Item selection ---------------------------------------------------------

void TXcDataConsumerItemSelect::SetSelectedItem(IXcDataItem* value) {
    if (value == selected_.get()) return;
    selected_ = value;
    NotifyViewChanged();
}

String TXcDataConsumerItemSelect::ItemID() { return selected_ ? selected_->ID() : String(); }

void TXcDataConsumerItemSelect::SetItemID(const String& id) {
    if (id == ItemID()) return;
    if (id.empty()) return SetSelectedItem(nullptr);
    TXcDataConsumer* consumer = Consumer();
    const TIntfPtr<IXcDataProvider> provider = consumer->Provider();
    if (!provider) {
        if (!consumer->OwnerLoading()) throw EXCLDataConsumer(LoadResString(RsXcItemWithoutProvider));
        pendingID_ = id;
        NotifyFixups();
        return;
    }
    consumer->BeginProviderAccess();
    try {
        const TIntfPtr<IXcDataItem> found = IntfCast<IXcDataItemFinder>(provider)->Find(id, true);
        if (!found) throw EXCLDataConsumer(LoadResString(RsXcItemNotFound));
        SetSelectedItem(found.get());
    } catch (...) {
        consumer->EndProviderAccess();
        throw;
    }
    consumer->EndProviderAccess();
}

void TXcDataConsumerItemSelect::Fixup() {
    // Fixups of other extensions run this too: without a waiting ID the selection stays.
    if (!pendingID_.empty()) SetItemID(std::exchange(pendingID_, String()));
}

void TXcDataConsumerItemSelect::DataChanging(IXcDataProvider*, TDataProviderChangeReason reason, IInterface* source) {
    if (reason != pcrItemDeleted || !source || !selected_) return;
    TXcDataConsumer* consumer = Consumer();
    consumer->BeginProviderAccess();
    try {
        TIntfPtr<IXcDataItem> deleted;
        if (Supports(source, deleted) && (deleted == selected_ || deleted->IsParentOf(selected_.get(), false)))
            selected_.Reset();
    } catch (...) {
        consumer->EndProviderAccess();
        throw;
    }
    consumer->EndProviderAccess();
}
