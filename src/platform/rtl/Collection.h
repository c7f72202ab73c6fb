#pragma once
// TCollection: an owned, ordered list of items of one class (ItemClass).
// Items are created by the collection (Add, Insert) and freed by it (Delete,
// Clear, its destructor) or by freeing an item, which leaves the collection.
// A collection-item class has a public constructor taking the collection and
// declares RTL_CLASS so that the collection can create it. Items join the
// collection in the base constructor: Notify(cnAdded) sees only that part;
// Update (after Add) sees the whole item.

#include <vector>

#include "platform/rtl/Persistent.h"

class TCollection;

enum class TCollectionNotification { cnAdded, cnExtracting, cnDeleting };
using enum TCollectionNotification;

class TCollectionItem : public TPersistent {
    RTL_CLASS(TCollectionItem, TPersistent);

public:
    explicit TCollectionItem(TCollection* collection);
    ~TCollectionItem() override;

    TCollection* Collection() const noexcept { return collection_; }
    // Moves the item to another collection (or none, leaving it to the caller).
    void SetCollection(TCollection* value);
    int ID() const noexcept { return id_; }
    // Position in the collection; -1 without one.
    int Index() const;
    void SetIndex(int value);
    // The class name unless a descendant names its items.
    virtual String DisplayName() const;
    virtual void SetDisplayName(const String& value);
    // "<collection path>[<index>]".
    String GetNamePath() const override;
    TPersistent* GetOwner() const override;

protected:
    // Tells the collection that this item (or, with allItems, every item) changed.
    void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
    int id_ = 0;
};

class TCollection : public TPersistent {
    RTL_CLASS(TCollection, TPersistent);

public:
    explicit TCollection(TClass itemClass);
    ~TCollection() override;

    TClass ItemClass() const noexcept { return itemClass_; }
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    // Raises EListError "List index out of bounds (%d)".
    TCollectionItem* Items(int index) const;
    // Assigns Value to the item at Index.
    void SetItem(int index, TCollectionItem* value);
    TCollectionItem* Add();
    TCollectionItem* Insert(int index);
    void Delete(int index);
    void Clear();
    TCollectionItem* FindItemID(int id) const;
    // Copies the items of another collection, item by item.
    void Assign(TPersistent* source) override;

    // Change notifications (Update) are held back until the last EndUpdate.
    virtual void BeginUpdate() { ++updateCount_; }
    virtual void EndUpdate();
    int UpdateCount() const noexcept { return updateCount_; }
    // "<owner path>.<property name>" when an owner publishes this collection, else the class name.
    String GetNamePath() const override;

protected:
    // Item is the changed item, or null when every item or the list changed.
    virtual void Update(TCollectionItem* item);
    virtual void Notify(TCollectionItem* item, TCollectionNotification action);
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* item);
    void RemoveItem(TCollectionItem* item);
    // The owner's published property holding this collection; empty when none.
    String PropName() const;

    TClass itemClass_;
    std::vector<TCollectionItem*> items_;
    int updateCount_ = 0;
    int nextId_ = 0;
};

// A collection that names its owner for name paths (and so for storage).
class TOwnedCollection : public TCollection {
    RTL_CLASS(TOwnedCollection, TCollection);

public:
    TOwnedCollection(TPersistent* owner, TClass itemClass) : TCollection(itemClass), owner_(owner) {}
    TPersistent* GetOwner() const override { return owner_; }

private:
    TPersistent* owner_;
};
