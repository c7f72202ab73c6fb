#pragma once
// Items and item lists, the tree a provider serves, and the two extension
// bases of items and lists.
//
// An item belongs to a list (IXcDataItems) and may own a sub-list, which it
// answers as its own IXcDataItems through the TXcBaseDataItemSubItems
// extension the sub-list puts on it. TXcDataItemsList owns its items; make an
// item with XcCreate<TItemClass>(list) and add it through the list's editor
// or InternalAdd. Lists are counted: hold them in TIntfPtr.
//
// Streams keep a list's items as the defined property "Items" and an item's
// sub-list as "SubItems"; the classes must be registered (RegisterXcClass).

#include <vector>

#include "support/dataproviders/XcDataProviderIntf.h"
#include "support/dataproviders/XcExtensible.h"

class TXcBaseDataItemSubItems;

// The sub-list Item answers; nil when it has none or Item is nil.
TIntfPtr<IXcDataItems> SubListOf(IXcDataItem* item);
class TReader;
class TWriter;

// The published type of item IDs.
const TTypeInfo* XcDataItemIDType();

class TXcBaseDataItem : public TImplements<TExtensibleInterfacedPersistent, IXcDataItem> {
    RTL_CLASS(TXcBaseDataItem, TExtensibleInterfacedPersistent);

public:
    explicit TXcBaseDataItem(IXcDataItems* list);
    ~TXcBaseDataItem() override;

    // The provider of the item's list enters no context around the count,
    // which is kept only when that list is dynamic (else the result is -1).
    int32_t _AddRef() override;
    int32_t _Release() override;

    TIntfPtr<IXcDataItems> Items() override;
    // Searched from the last entry of the item's list; -1 when it is not there.
    int Index() override;
    TObject* Implementer() override { return this; }
    String ID() override { return id_; }
    // An item always has an ID: an empty one gives it a new one.
    void SetID(const String& value);
    // The extensions, then the sub-list.
    void ContextDestroying(IXcDataContext* context) override;
    bool IsParentOf(IXcDataItem* item, bool directOnly) override;
    bool IsDeletable() override { return true; }

    // The provider's component, when the item has a list.
    TPersistent* GetOwner() const override;
    // "<owner's name>: Item[<ID>]", "Unknown" for an owner that is no component.
    String GetNamePath() const override;
    // Passed to the extensions that answer IXcDataContextDependent.
    virtual void RevertToAncestor();
    virtual bool IsEqualToAncestor();

    void AfterConstruction() override;

protected:
    // A new GUID's 16 bytes in memory order as 32 upper-case hexadecimal digits.
    virtual void InitID();
    void DefineProperties(TFiler* filer) override;

private:
    template <class Count>
    int32_t CountInNoContext(Count count);
    void ReadSubItems(TReader& reader);
    void WriteSubItems(TWriter& writer);

    IXcDataItems* list_;
    TIntfPtr<IXcDataItems> listReference_;
    String id_;
};

class TXcBaseDataItems : public TImplements<TExtensibleInterfacedPersistent, IXcDataItems, IXcDataItemFinder> {
    RTL_CLASS(TXcBaseDataItems, TExtensibleInterfacedPersistent);

public:
    TXcBaseDataItems() = default;
    explicit TXcBaseDataItems(IXcDataProvider* provider);
    // A sub-list of Parent: it links itself to the parent item through a
    // TXcBaseDataItemSubItems extension, which holds it.
    explicit TXcBaseDataItems(IXcDataItem* parent);
    ~TXcBaseDataItems() override;

    TIntfPtr<IXcDataItem> ItemByID(const String& path) override;
    // The item at the last index; nil for an index out of range or an item
    // on the way without sub-list.
    TIntfPtr<IXcDataItem> ItemByIndexPath(std::span<const int> indexes) override;
    TIntfPtr<IXcDataItem> Parent() override { return TIntfPtr<IXcDataItem>(parent_); }
    TIntfPtr<IXcDataProvider> Provider() override { return provider_; }
    TObject* Implementer() override { return this; }
    bool IsDynamic() override { return true; }
    // The extensions, then the items.
    void ContextDestroying(IXcDataContext* context) override;
    // This list, then (recursive) the sub-lists of its items from the last.
    TIntfPtr<IXcDataItem> Find(const String& id, bool recursive) override;

    virtual void InternalAdd(IXcDataItem* item) = 0;
    virtual void InternalDelete(int index) = 0;
    virtual void InternalMove(int from, int to) = 0;
    // Its class is registered for streaming and is an item class.
    virtual bool IsStreamableItem(IXcDataItem* item);
    // An item of the list is being destroyed.
    virtual void ItemDestroyed(TXcBaseDataItem*) {}

protected:
    void DefineProperties(TFiler* filer) override;

private:
    friend class TXcBaseDataItemSubItems;
    void ReadItems(TReader& reader);
    void WriteItems(TWriter& writer);

    IXcDataItem* parent_ = nullptr;
    TIntfPtr<IXcDataItem> parentReference_;
    TIntfPtr<IXcDataProvider> provider_;
    TXcBaseDataItemSubItems* subItemsLink_ = nullptr;
};

// A list that owns its items: they are freed with it, by InternalDelete and by
// the list editor. It counts no references of its items.
class TXcDataItemsList : public TXcBaseDataItems {
    RTL_CLASS(TXcDataItemsList, TXcBaseDataItems);

public:
    using TXcBaseDataItems::TXcBaseDataItems;
    ~TXcDataItemsList() override;

    int Count() override { return static_cast<int>(items_.size()); }
    // Raises EListError "List index out of bounds (%d)".
    TIntfPtr<IXcDataItem> Item(int index) override;
    bool IsDynamic() override { return false; }
    // The item's object must be a TXcBaseDataItem.
    void InternalAdd(IXcDataItem* item) override;
    // Frees the item; while references hold it, EInvalidPointer and it stays.
    void InternalDelete(int index) override;
    void InternalMove(int from, int to) override;
    void ItemDestroyed(TXcBaseDataItem* item) override;
    // Position of the item's object; -1 when absent.
    int IndexOfObject(const TObject* item) const;

private:
    void CheckIndex(int index) const;

    std::vector<TXcBaseDataItem*> items_;
};

// Extension of an item. Queries go to the item, except for
// IXcDataContextDependent, which only an extension that implements it answers.
class TXcDataItemAggregatedObject : public TAggregatedPersistentEx {
    RTL_CLASS(TXcDataItemAggregatedObject, TAggregatedPersistentEx);

public:
    explicit TXcDataItemAggregatedObject(TExtensibleInterfacedPersistent* owner) noexcept
        : TAggregatedPersistentEx(owner) {}

    HRESULT QueryInterface(const TGUID& iid, void** obj) override;
    IXcDataItem* Item() const;
    // The provider of the item's list; nil without one.
    TIntfPtr<IXcDataProvider> Provider() const;
    virtual void ContextDestroying(IXcDataContext*) {}

protected:
    bool CanExtend(TExtensibleInterfacedPersistent* owner) const override;
};

// Extension of an item list; every query goes to the list.
class TXcDataItemsAggregatedObject : public TAggregatedPersistentEx {
    RTL_CLASS(TXcDataItemsAggregatedObject, TAggregatedPersistentEx);

public:
    explicit TXcDataItemsAggregatedObject(TExtensibleInterfacedPersistent* owner) noexcept
        : TAggregatedPersistentEx(owner) {}

    IXcDataItems* Items() const;
    TXcBaseDataItems* ItemsObject() const;
    TIntfPtr<IXcDataProvider> Provider() const { return Items()->Provider(); }
    virtual void ContextDestroying(IXcDataContext*) {}

protected:
    bool CanExtend(TExtensibleInterfacedPersistent* owner) const override;
};

// The link from an item to its sub-list, which it holds: the item answers
// what the sub-list answers through it.
class TXcBaseDataItemSubItems : public TXcDataItemAggregatedObject {
    RTL_CLASS(TXcBaseDataItemSubItems, TXcDataItemAggregatedObject);

public:
    TXcBaseDataItemSubItems(TExtensibleInterfacedPersistent* owner, TXcBaseDataItems* subItems);
    ~TXcBaseDataItemSubItems() override;

    bool GetInterface(const TGUID& iid, void** obj) override;
    TXcBaseDataItems* SubItems() const noexcept { return subItemsObject_; }

private:
    friend class TXcBaseDataItems;
    TIntfPtr<IXcDataItems> subItems_;
    TXcBaseDataItems* subItemsObject_;
};
