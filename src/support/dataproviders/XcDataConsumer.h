#pragma once
// The consumer a control owns to show a provider's data: it holds the
// provider and the selected context, listens to the provider's changes,
// forwards them to its extensions (item selection, the flat view), fires the
// control's change handlers and repaints the control.
//
// The control makes it with XcCreate<TXcDataConsumer>(control, attributes),
// owns it (it is not counted) and calls ApplyFixups from its Loaded: Context
// and Item values written while the control loads wait for that.

#include <functional>
#include <vector>

#include "support/dataproviders/XcDataProviderIntf.h"
#include "support/dataproviders/XcExtensible.h"

class TXcDataConsumer;
class TXcDataConsumerAggregatedObject;

// The reason of the consumer's Changing and Changed.
enum TDataConsumerChangeReason : int {
    ccrProviderChanged = 0,
    ccrProviderDataChanged = 1,
    ccrViewChanged = 2,
    ccrContextChanged = 3,
    ccrExtensionSettingChanged = 4,
};

using TXcConsumerChangeEvent = std::function<void(TXcDataConsumer* consumer, TDataConsumerChangeReason reason)>;
using TXcProviderChangeEvent =
    std::function<void(IXcDataProvider* provider, TDataProviderChangeReason reason, IInterface* source)>;
// May replace the class or clear it (nothing is made then).
using TXcBeforeExtensionEvent = std::function<void(TXcDataConsumer* consumer, TClass& extensionClass)>;
using TXcAfterExtensionEvent = std::function<void(TXcDataConsumer* consumer, TAggregatedPersistentEx* extension)>;

// The published type of context names.
const TTypeInfo* XcDataContextIDType();
// The flat view's class, made for consumers with attribute xcaList.
TClass XcDataConsumerViewListClass();

class TXcDataConsumer
    : public TImplements<TExtensibleInterfacedPersistent, IXcDataConsumerLinkNotify, IXcDataConsumerProviderAccess,
                         IXcDataProviderListener, IXcDataConsumer> {
    RTL_CLASS(TXcDataConsumer, TExtensibleInterfacedPersistent);

public:
    // Each attribute is kept once.
    TXcDataConsumer(TComponent* owner, const std::vector<int>& attributes);
    ~TXcDataConsumer() override;

    int32_t _AddRef() override { return -1; }
    int32_t _Release() override { return -1; }

    // IXcDataConsumer
    TComponent* VCLComponent() override { return owner_; }
    bool AttributeApplies(int attribute) override;

    // The full provider change: listeners moved, the first context selected,
    // extensions kept or dropped and the provider's classes made.
    TIntfPtr<IXcDataProvider> Provider() override { return provider_; }
    void SetProvider(const TIntfPtr<IXcDataProvider>& value);
    // The context's name. Writing it while the control loads and has no
    // provider keeps it for ApplyFixups; raises EXCLDataConsumer "You must
    // specify a provider before setting the context", "Provider does not
    // support contexts" or "Provider has no context named \"%s\"".
    String ContextName();
    void SetContextName(const String& name);
    TIntfPtr<IXcDataContext> Context() const { return context_; }
    // Raises EXCLDataConsumer "The specified context is not part of the same provider".
    void SetContext(IXcDataContext* context);

    // Attach this consumer and enter its context on the provider, and the
    // reverse; a provider must be assigned (an assertion otherwise).
    void BeginProviderAccess();
    void EndProviderAccess();
    // What was written while the control loaded: the context, then the extensions' own.
    void ApplyFixups();
    // Whether Context or Item values still wait for ApplyFixups.
    bool IsLoading();
    // Whether the control is being loaded.
    bool OwnerLoading() const;

    // The extensions but Origin get ViewChanged, then Changed(ccrViewChanged).
    void ViewChange(TXcDataConsumerAggregatedObject* origin);
    virtual void Changing(TDataConsumerChangeReason reason);
    // Repaints the control, then the changed handler.
    virtual void Changed(TDataConsumerChangeReason reason);
    virtual void RefreshExtensions();

    // IXcDataProviderListener
    void ProviderChanging(IXcDataProvider* provider, TDataProviderChangeReason reason, IInterface* source) override;
    void ProviderChanged(IXcDataProvider* provider, TDataProviderChangeReason reason, IInterface* source) override;
    TIntfPtr<IXcDataConsumer> Consumer() override { return TIntfPtr<IXcDataConsumer>(this); }
    // IXcDataConsumerLinkNotify
    void ItemChanged(IXcDataConsumerLinkNotify* server, IXcDataItem* item) override;
    void LinkAdded(IXcDataConsumerLinkNotify* server) override;
    void LinkRemoved(IXcDataConsumerLinkNotify* server) override;

    TXcConsumerChangeEvent OnChanging;
    TXcConsumerChangeEvent OnChanged;
    TXcProviderChangeEvent OnProviderChanging;
    TXcProviderChangeEvent OnProviderChanged;
    TXcBeforeExtensionEvent OnBeforeCreateExtension;
    TXcAfterExtensionEvent OnAfterCreateExtension;

protected:
    // The after-extension handler; a flat view is rebuilt.
    virtual void ExtensionAdded(TAggregatedPersistentEx* extension);

private:
    friend class TXcDataConsumerAggregatedObject;

    bool ExtensionFixupsNeeded();
    bool ContextFixupNeeded() const;
    bool FixupsPending() const { return needFixups_ || !pendingContext_.empty(); }
    bool IsContextStored() const;
    // The handler's class (if any left) made on this consumer.
    TAggregatedPersistentEx* MakeExtension(TClass cls);
    void RunExtensionFixups();
    template <class Call>
    void ForEachExtension(Call call);
    // Extensions that are not kept are freed, the others replaced.
    template <class Keep, class Replaced>
    void KeepExtensions(Keep keep, Replaced replaced);

    TComponent* owner_;
    TIntfPtr<IXcDataProvider> provider_;
    TIntfPtr<IXcDataContext> context_;
    String pendingContext_;
    bool needFixups_ = false;
    std::vector<int> attributes_;
    std::vector<TIntfPtr<IXcDataConsumerLinkNotify>> servers_;
};

// Base of the consumer's extensions. Everything does nothing here.
class TXcDataConsumerAggregatedObject : public TAggregatedPersistentEx {
    RTL_CLASS(TXcDataConsumerAggregatedObject, TAggregatedPersistentEx);

public:
    explicit TXcDataConsumerAggregatedObject(TExtensibleInterfacedPersistent* owner) noexcept
        : TAggregatedPersistentEx(owner) {}

    TXcDataConsumer* Consumer() const;
    // Set when the extension changed or waits for fixups without a provider;
    // such an extension stays when a provider comes.
    bool StreamedWithoutProvider() const noexcept { return streamedWithoutProvider_; }

    virtual void DataChanging(IXcDataProvider*, TDataProviderChangeReason, IInterface*) {}
    virtual void DataChanged(IXcDataProvider*, TDataProviderChangeReason, IInterface*) {}
    // Applies what was written while the control loaded.
    virtual void Fixup() {}
    virtual bool KeepOnProviderChange() { return false; }
    virtual bool KeepOnContextChange() { return true; }
    virtual void ViewChanged(TXcDataConsumerAggregatedObject*) {}
    virtual void ItemSelected(IXcDataItem*) {}
    virtual void ServerItemChanged(IXcDataConsumerLinkNotify*, IXcDataItem*) {}
    virtual void ProviderReplacing() {}
    virtual void ProviderReplaced() {}
    virtual void ContextReplacing() {}
    virtual void ContextReplaced() {}

protected:
    bool CanExtend(TExtensibleInterfacedPersistent* owner) const override;
    void Changed(TDataConsumerChangeReason reason);
    void NotifyViewChanged();
    // This extension has something for Fixup.
    void NotifyFixups();
    // The selected item's sub-list when the consumer selects items and has a
    // selection, else the provider's root list.
    TIntfPtr<IXcDataItems> RootItems() const;

private:
    friend class TXcDataConsumer;
    bool streamedWithoutProvider_ = false;
};

// Keeps one selected item.
class TXcDataConsumerItemSelect : public TImplements<TXcDataConsumerAggregatedObject, IXcDataConsumerSelection> {
    RTL_CLASS(TXcDataConsumerItemSelect, TXcDataConsumerAggregatedObject);

public:
    explicit TXcDataConsumerItemSelect(TExtensibleInterfacedPersistent* owner) : TImplements(owner) {}

    TIntfPtr<IXcDataItem> SelectedItem() override { return selected_; }
    // A different item is stored and the view changes.
    void SetSelectedItem(IXcDataItem* value) override;
    // The selected item's ID. Writing an ID finds it (recursively) in the
    // provider: EXCLDataConsumer "You must specify a provider before setting
    // the item" without one (unless the control loads: then it waits),
    // "Item not found in the selected context" when nothing has it.
    String ItemID();
    void SetItemID(const String& id);

    void Fixup() override;
    // Deleting the selected item or one of its ancestors clears the selection.
    void DataChanging(IXcDataProvider* provider, TDataProviderChangeReason reason, IInterface* source) override;

private:
    TIntfPtr<IXcDataItem> selected_;
    String pendingID_;
};
